// Windows only: finds and loads the client library when it is first needed.
#include <windows.h>

#include "db/ClientLibrary.h"
#include "db/FbClient.h"

namespace fb {

namespace {
QString programFolder() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    const QString file = QString::fromWCharArray(path, int(n));
    return file.left(file.lastIndexOf(QLatin1Char('\\')));
}

QString defaultInstance() {
    const wchar_t* key = L"SOFTWARE\\Firebird Project\\Firebird Server\\Instances";
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"DefaultInstance", RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"DefaultInstance", RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS)
        return {};
    return QString::fromWCharArray(value.c_str());
}

using GetMaster = Firebird::IMaster*(ISC_EXPORT*)();

Firebird::IMaster* load() {
    // A library that cannot be loaded is reported in the log, not in a system box.
    DWORD mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &mode);
    struct Restore {
        DWORD mode;
        ~Restore() { SetThreadErrorMode(mode, nullptr); }
    } restore{mode};
    QStringList tried;
    for (const QString& candidate : clientLibraryCandidates(programFolder(), defaultInstance())) {
        const std::wstring path = candidate.toStdWString();
        const bool bare = candidate == QLatin1String(kClientLibraryName);
        // With a full path its own folder is searched for what it needs (its runtime, the
        // engine's ICU).
        HMODULE module = bare ? LoadLibraryW(path.c_str())
                              : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!module) {
            const bool there = !bare && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            tried << (there ? candidate + QStringLiteral(" (não pôde ser carregado; 32 bits?)")
                            : candidate);
            continue;
        }
        const auto get = reinterpret_cast<GetMaster>(
            reinterpret_cast<void*>(GetProcAddress(module, "fb_get_master_interface")));
        if (get) {
            if (Firebird::IMaster* master = get()) return master;  // the module stays loaded
        }
        FreeLibrary(module);
        tried << candidate + QStringLiteral(" (versão anterior à 3.0)");
    }
    throw Error(clientLibraryNotFound(tried));
}
}  // namespace

// Looked for again at every call until found: Firebird may be installed while the window is open.
Firebird::IMaster* master() {
    static Firebird::IMaster* found = nullptr;
    if (!found) found = load();
    return found;
}

}  // namespace fb
