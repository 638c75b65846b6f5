#include "db/Backup.h"

#include <ibase.h>

#include <algorithm>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <vector>

#include "db/Service.h"
#include "db/Win1252.h"

using namespace Firebird;

namespace {

unsigned littleEndian16(const unsigned char* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }

// The part of a connection string that names the server ("host/3050:", "inet://host:3050/"),
// empty for a local file, and the host alone.
struct ServerPart {
    QString prefix;
    QString host;
};

ServerPart serverPart(const QString& cs) {
    static const QRegularExpression url(QStringLiteral("^inet[46]?://([^/]*)/"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression port(QStringLiteral(":\\d*$"));
    if (const auto m = url.match(cs); m.hasMatch())
        return {m.captured(0),
                m.captured(1).remove(port).remove(QLatin1Char('[')).remove(QLatin1Char(']'))};
    const qsizetype bracket = cs.startsWith(QLatin1Char('[')) ? cs.indexOf(QLatin1Char(']')) : 0;
    const qsizetype colon = bracket < 0 ? -1 : cs.indexOf(QLatin1Char(':'), bracket);
    // A colon first or after a single letter is a drive, not a host: "C:\KEMB\...".
    if (colon <= 0 || (colon == 1 && cs[0].isLetter())) return {};
    QString host = cs.left(colon).section(QLatin1Char('/'), 0, 0);
    return {cs.left(colon + 1), host.remove(QLatin1Char('[')).remove(QLatin1Char(']'))};
}

}  // namespace

namespace backup {

QString randomTag() {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(digits[QRandomGenerator::global()->bounded(int(sizeof digits - 1))]);
    return tag;
}

QString serviceManager(const QString& connectionString) {
    return serverPart(connectionString).prefix + QStringLiteral("service_mgr");
}

bool isOnThisMachine(const QString& connectionString) {
    const ServerPart s = serverPart(connectionString);
    return s.prefix.isEmpty() ||
           s.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           s.host.startsWith(QLatin1String("127.")) || s.host == QLatin1String("::1");
}

QString fileName(const QString& databaseFile, const QDateTime& when, int copy, const QString& tag) {
    const qsizetype folderEnd = std::max(databaseFile.lastIndexOf(QLatin1Char('/')),
                                         databaseFile.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = databaseFile.lastIndexOf(QLatin1Char('.'));
    QString name = databaseFile.left(dot > folderEnd + 1 ? dot : databaseFile.size()) +
                   when.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    if (copy > 1) name += QLatin1Char('-') + QString::number(copy);
    if (!tag.isEmpty()) name += QLatin1Char('-') + tag;
    return name + QStringLiteral(".fbk");
}

QString freeFileName(const QString& databaseFile, const QDateTime& when,
                     const std::function<bool(const QString&)>& taken, const QString& tag) {
    for (int copy = 1; copy < 1000; ++copy) {
        QString name = fileName(databaseFile, when, copy, tag);
        if (!taken(name)) return name;
    }
    throw fb::Error(QStringLiteral("Não há nome livre para a cópia de segurança de ") +
                    databaseFile);
}

NameAnswer nameAnswer(const intptr_t* errors) {
    bool ioFailed = false, openFailed = false, notFound = false, notADatabase = false;
    for (const intptr_t* v = errors; *v != isc_arg_end;) {
        const intptr_t kind = *v++;
        const intptr_t value = *v++;
        if (kind == isc_arg_cstring) ++v;  // a length, then the text
        if (kind == isc_arg_gds && value == isc_io_error) ioFailed = true;
        if (kind == isc_arg_gds && value == isc_io_open_err) openFailed = true;
        if (kind == isc_arg_gds && value == isc_bad_db_format) notADatabase = true;
        // ENOENT, or ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND on Windows. Through the network
        // the system's error comes only as its text, in the server's language: never read.
        if ((kind == isc_arg_unix && value == 2) ||
            (kind == isc_arg_win32 && (value == 2 || value == 3)))
            notFound = true;
    }
    if (openFailed && notFound) return NameAnswer::Free;
    if (notADatabase || (ioFailed && !openFailed)) return NameAnswer::Taken;  // it opened
    return NameAnswer::Unknown;
}

NameAnswer probeName(const QString& connectionString, const QString& file,
                     const LoginParams& login) {
    LoginBlock dpb(login, LoginBlock::For::Database);
    const unsigned length = dpb.length();
    const unsigned char* buffer = dpb.buffer();
    const QByteArray path = (serverPart(connectionString).prefix + file).toUtf8();
    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    fb::CheckStatus probe;
    fb::Ref<IAttachment> att(provider->attachDatabase(&probe, path.constData(), length, buffer));
    if (!probe.failed()) {
        fb::finish(att, [](IAttachment* a, auto* s) { a->detach(s); });
        return NameAnswer::Taken;
    }
    // A server that refuses the login tells nothing of the file, and would refuse the copy too.
    for (const intptr_t* v = (&probe)->getErrors(); *v != isc_arg_end; v += 2) {
        if (v[0] == isc_arg_gds && v[1] == isc_login)
            throw fb::Error(QStringLiteral("Não foi possível verificar no servidor se o arquivo "
                                           "%1 já existe:\n")
                                .arg(file) +
                            probe.text());
        if (v[0] == isc_arg_cstring) ++v;
    }
    return nameAnswer((&probe)->getErrors());
}

QString serverFileName(Database& db) {
    fb::ThrowStatus st;
    const unsigned char items[] = {isc_info_db_id, isc_info_end};
    std::vector<unsigned char> buffer(1024);
    db.handle()->getInfo(&st, sizeof items, items, unsigned(buffer.size()), buffer.data());
    // The item's data: a count, then counted strings, the file's name first and the site's after.
    const unsigned char* p = buffer.data();
    if (p[0] == isc_info_db_id) {
        const unsigned length = littleEndian16(p + 1);
        if (length >= 2 && p[3] >= 1 && p[4] + 2u <= length && length + 3 < buffer.size())
            return fb::decodeServerText(reinterpret_cast<const char*>(p + 5), p[4]);
    }
    throw fb::Error(QStringLiteral("O servidor não informou o arquivo do banco de dados"));
}

void runBackupService(const QString& serviceManager, const LoginParams& login,
                      const QString& databaseFile, const QString& backupFile,
                      const BackupProgress& progress, const BackupOptions& options) {
    service::run(
        serviceManager, login,
        [&](IXpbBuilder* spb, fb::ThrowStatus& st) {
            spb->insertTag(&st, isc_action_svc_backup);
            spb->insertString(&st, isc_spb_dbname, databaseFile.toUtf8().constData());
            spb->insertString(&st, isc_spb_bkp_file, backupFile.toUtf8().constData());
            if (options.noGarbageCollection)
                spb->insertInt(&st, isc_spb_options, isc_spb_bkp_no_garbage_collect);
            if (options.verbose) spb->insertTag(&st, isc_spb_verbose);
        },
        progress, options.stop);
}

}  // namespace backup

BackupResult makeBackup(Database& db, const BackupProgress& progress) {
    QElapsedTimer clock;
    clock.start();
    const QString databaseFile = backup::serverFileName(db);
    const QString& cs = db.connectionString();
    // The service overwrites what it finds: a name is taken when a file is there, looked at
    // directly on this machine and through the server elsewhere.
    const bool here = backup::isOnThisMachine(cs);
    // Elsewhere the server's answer may not be readable: a random part makes a collision
    // impossible in practice, and only an answer that says the file is there takes a name.
    const QString file = backup::freeFileName(
        databaseFile, QDateTime::currentDateTime(),
        [&](const QString& f) {
            if (!here) return backup::probeName(cs, f, db.login()) == backup::NameAnswer::Taken;
            const QFileInfo fi(f);
            return fi.exists() || fi.isSymLink();
        },
        here ? QString() : backup::randomTag());
    backup::runBackupService(backup::serviceManager(cs), db.login(), databaseFile, file, progress);
    return {file, clock.elapsed()};
}
