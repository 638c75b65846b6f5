#include "db/Restore.h"

#include <ibase.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "db/Backup.h"

using namespace Firebird;

namespace {

// An integer item of a database information answer.
qint64 infoItem(Database& db, unsigned char item) {
    fb::ThrowStatus st;
    const unsigned char items[] = {item, isc_info_end};
    std::vector<unsigned char> buffer(64);
    db.handle()->getInfo(&st, sizeof items, items, unsigned(buffer.size()), buffer.data());
    if (buffer[0] != item)
        throw fb::Error(QStringLiteral("O servidor não informou o tamanho do banco de dados"));
    const unsigned length = unsigned(buffer[1]) | unsigned(buffer[2]) << 8;
    qint64 value = 0;
    for (unsigned i = 0; i < length && i < 8; ++i) value |= qint64(buffer[3 + i]) << (8 * i);
    return value;
}

QString prefixOf(const QString& connectionString) {
    const QString sm = backup::serviceManager(connectionString);
    return sm.left(sm.size() - qsizetype(qstrlen("service_mgr")));
}

bool fileIsHere(const QString& file) {
    const QFileInfo fi(file);
    return fi.exists() || fi.isSymLink();
}

}  // namespace

namespace restore {

QString siblingName(const QString& databaseFile, const QString& tag, const QDateTime& when,
                    int copy, const QString& extension, const QString& random) {
    const qsizetype folderEnd = std::max(databaseFile.lastIndexOf(QLatin1Char('/')),
                                         databaseFile.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = databaseFile.lastIndexOf(QLatin1Char('.'));
    QString name = databaseFile.left(dot > folderEnd + 1 ? dot : databaseFile.size()) +
                   QLatin1Char('-') + tag + when.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    if (copy > 1) name += QLatin1Char('-') + QString::number(copy);
    if (!random.isEmpty()) name += QLatin1Char('-') + random;
    return name + extension;
}

QString onSameServer(const QString& connectionString, const QString& file) {
    return prefixOf(connectionString) + file;
}

bool isLocalFile(const QString& connectionString) { return prefixOf(connectionString).isEmpty(); }

bool taken(const QString& connectionString, const QString& file, const LoginParams& login) {
    if (backup::isOnThisMachine(connectionString)) return fileIsHere(file);
    return backup::probeName(connectionString, file, login) == backup::NameAnswer::Taken;
}

void runRestoreService(const QString& serviceManager, const LoginParams& login,
                       const QString& backupFile, const QString& databaseFile, int pageSize,
                       const ServiceProgress& progress, const ServiceStop& stop, bool verbose) {
    service::run(
        serviceManager, login,
        [&](IXpbBuilder* spb, fb::ThrowStatus& st) {
            spb->insertTag(&st, isc_action_svc_restore);
            spb->insertString(&st, isc_spb_bkp_file, backupFile.toUtf8().constData());
            spb->insertString(&st, isc_spb_dbname, databaseFile.toUtf8().constData());
            // Create only: an existing file is refused, never replaced.
            spb->insertInt(&st, isc_spb_options, isc_spb_res_create);
            if (pageSize > 0) spb->insertInt(&st, isc_spb_res_page_size, pageSize);
            if (verbose) spb->insertTag(&st, isc_spb_verbose);
        },
        progress, stop);
}

int pageSize(Database& db) { return int(infoItem(db, isc_info_page_size)); }

qint64 sizeInBytes(Database& db) {
    return infoItem(db, isc_info_allocation) * infoItem(db, isc_info_page_size);
}

QString discard(const QString& connectionString, const QString& file, const LoginParams& login) {
    const QString cs = onSameServer(connectionString, file);
    {
        LoginBlock dpb(login, LoginBlock::For::Database);
        fb::Ref<IProvider> provider(fb::master()->getDispatcher());
        fb::CheckStatus attach;
        const QByteArray path = cs.toUtf8();
        fb::Ref<IAttachment> att(
            provider->attachDatabase(&attach, path.constData(), dpb.length(), dpb.buffer()));
        if (!attach.failed() &&
            !fb::finish(att, [](IAttachment* a, auto* s) { a->dropDatabase(s); }))
            fb::finish(att, [](IAttachment* a, auto* s) { a->detach(s); });
    }
    if (backup::isOnThisMachine(connectionString) && fileIsHere(file)) QFile::remove(file);
    // Only an answer that says the name is free again counts as removed.
    try {
        if (backup::isOnThisMachine(connectionString)
                ? !fileIsHere(file)
                : backup::probeName(connectionString, file, login) == backup::NameAnswer::Free)
            return {};
    } catch (...) {
    }
    return QStringLiteral("O arquivo %1 pode ter ficado no servidor e deve ser apagado por lá.")
        .arg(file);
}

QString discardBackup(const QString& connectionString, const QString& file) {
    if (backup::isOnThisMachine(connectionString)) {
        if (!fileIsHere(file) || QFile::remove(file)) return {};
        return QStringLiteral("Não foi possível apagar o arquivo %1.").arg(file);
    }
    return QStringLiteral("O arquivo %1 pode ter ficado no servidor e deve ser apagado por lá.")
        .arg(file);
}

QString swap(const QString& original, const QString& replacement, const QString& tag,
             const QDateTime& when) {
    QString aside;
    if (fileIsHere(original)) {
        for (int copy = 1; aside.isEmpty() || fileIsHere(aside); ++copy) {
            if (copy >= 1000)
                throw fb::Error(QStringLiteral("Não há nome livre para guardar ") + original);
            aside = siblingName(original, tag, when, copy);
        }
        // Qt's rename never replaces a file that is there.
        QFile moved(original);
        if (!moved.rename(aside))
            throw fb::Error(QStringLiteral("Não foi possível renomear %1 para %2: %3")
                                .arg(original, aside, moved.errorString()));
    }
    QFile file(replacement);
    if (!file.rename(original)) {
        const QString reason = file.errorString();
        if (!aside.isEmpty()) QFile::rename(aside, original);
        throw fb::Error(QStringLiteral("Não foi possível renomear %1 para %2: %3")
                            .arg(replacement, original, reason));
    }
    return aside;
}

}  // namespace restore
