#include "db/Backup.h"

#include <ibase.h>

#include <algorithm>

#include <QElapsedTimer>
#include <QFileInfo>
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

QString serviceManager(const QString& connectionString) {
    return serverPart(connectionString).prefix + QStringLiteral("service_mgr");
}

bool isOnThisMachine(const QString& connectionString) {
    const ServerPart s = serverPart(connectionString);
    return s.prefix.isEmpty() ||
           s.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           s.host.startsWith(QLatin1String("127.")) || s.host == QLatin1String("::1");
}

QString fileName(const QString& databaseFile, const QDateTime& when, int copy) {
    const qsizetype folderEnd = std::max(databaseFile.lastIndexOf(QLatin1Char('/')),
                                         databaseFile.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = databaseFile.lastIndexOf(QLatin1Char('.'));
    QString name = databaseFile.left(dot > folderEnd + 1 ? dot : databaseFile.size()) +
                   when.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    if (copy > 1) name += QLatin1Char('-') + QString::number(copy);
    return name + QStringLiteral(".fbk");
}

QString freeFileName(const QString& databaseFile, const QDateTime& when,
                     const std::function<bool(const QString&)>& taken) {
    for (int copy = 1; copy < 1000; ++copy) {
        QString name = fileName(databaseFile, when, copy);
        if (!taken(name)) return name;
    }
    throw fb::Error(QStringLiteral("Não há nome livre para a cópia de segurança de ") +
                    databaseFile);
}

bool existsOnServer(const QString& connectionString, const QString& file,
                    const LoginParams& login) {
    fb::ThrowStatus st;
    fb::Owned<IXpbBuilder> dpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    dpb->insertString(&st, isc_dpb_user_name, login.userName.toUtf8().constData());
    dpb->insertString(&st, isc_dpb_password, login.password.toUtf8().constData());
    const unsigned length = dpb->getBufferLength(&st);
    const unsigned char* buffer = dpb->getBuffer(&st);
    const QByteArray path = (serverPart(connectionString).prefix + file).toUtf8();
    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    fb::CheckStatus probe;
    fb::Ref<IAttachment> att(provider->attachDatabase(&probe, path.constData(), length, buffer));
    if (!probe.failed()) {
        fb::finish(att, [](IAttachment* a, auto* s) { a->detach(s); });
        return true;
    }
    // Not found frees the name; a file that could be opened, database or not, takes it. Through
    // the network the system's error comes as its text.
    static const QStringList notFoundTexts = {
        QStringLiteral("No such file or directory"),
        QStringLiteral("The system cannot find the file specified"),
        QStringLiteral("The system cannot find the path specified")};
    bool ioFailed = false, openFailed = false, notFound = false, notADatabase = false;
    for (const intptr_t* v = (&probe)->getErrors(); *v != isc_arg_end;) {
        const intptr_t kind = *v++;
        const intptr_t value = *v++;
        if (kind == isc_arg_cstring) ++v;  // a length, then the text
        if (kind == isc_arg_gds && value == isc_io_error) ioFailed = true;
        if (kind == isc_arg_gds && value == isc_io_open_err) openFailed = true;
        if (kind == isc_arg_gds && value == isc_bad_db_format) notADatabase = true;
        // ENOENT, or ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND on a Windows server.
        if ((kind == isc_arg_unix && value == 2) ||
            (kind == isc_arg_win32 && (value == 2 || value == 3)))
            notFound = true;
        if (kind == isc_arg_interpreted) {
            const QString text = QString::fromLocal8Bit(reinterpret_cast<const char*>(value));
            for (const QString& t : notFoundTexts)
                if (text.contains(t, Qt::CaseInsensitive)) notFound = true;
        }
    }
    if (openFailed && notFound) return false;
    if (notADatabase || (ioFailed && !openFailed)) return true;  // opened, so it is there
    throw fb::Error(QStringLiteral("Não foi possível verificar no servidor se o arquivo %1 já "
                                   "existe:\n")
                        .arg(file) +
                    probe.text());
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
            spb->insertTag(&st, isc_spb_verbose);
        },
        QStringLiteral("closing file, committing, and finishing"), progress, options.stop);
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
    const QString file =
        backup::freeFileName(databaseFile, QDateTime::currentDateTime(), [&](const QString& f) {
            if (!here) return backup::existsOnServer(cs, f, db.login());
            const QFileInfo fi(f);
            return fi.exists() || fi.isSymLink();
        });
    backup::runBackupService(backup::serviceManager(cs), db.login(), databaseFile, file, progress);
    return {file, clock.elapsed()};
}
