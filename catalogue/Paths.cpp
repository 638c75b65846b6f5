#include "catalogue/Paths.h"

#include <QDir>

namespace {
QString root() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\KEMB");
#else
    return QDir::homePath() + QStringLiteral("/KEMB");
#endif
}

QString join(std::initializer_list<const char*> parts) {
    QString path = root();
    for (const char* p : parts) path += QDir::separator() + QString::fromLatin1(p);
    return path;
}
}  // namespace

QString defaultDatabasePath(DatabaseKind kind) {
    if (kind == DatabaseKind::Pdv) return join({"PDV", "BD", "PDV.FDB"});
    return join({"VORNIX", "BD", "VORNIX.FDB"});
}

QString selectionFilePath() { return join({"VORNIX", "Depurix.CDS"}); }
