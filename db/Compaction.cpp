#include "db/Compaction.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>

#include "db/Backup.h"
#include "db/Restore.h"

namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QStringList names(Query& q, const QString& sql) {
    QStringList out;
    q.setSql(sql);
    q.open();
    for (q.first(); !q.eof(); q.next()) out << q.field(0).asString().trimmed();
    q.close();
    return out;
}

// One value per name, read by one statement that joins the single-row selects; in groups, as a
// statement may name at most 256 tables.
template <class Select>
QMap<QString, qint64> values(Query& q, const QStringList& names, Select select) {
    QMap<QString, qint64> out;
    for (qsizetype from = 0; from < names.size(); from += 100) {
        const QStringList group = names.mid(from, 100);
        QStringList parts;
        for (qsizetype i = 0; i < group.size(); ++i)
            parts << QStringLiteral("SELECT %1, %2").arg(i).arg(select(group[i]));
        q.setSql(parts.join(QStringLiteral(" UNION ALL ")));
        q.open();
        for (q.first(); !q.eof(); q.next())
            out[group[int(q.field(0).asInt64())]] = q.field(1).asInt64();
        q.close();
    }
    return out;
}

// The file's own size where the tool can see it, the server's allocation otherwise.
qint64 bytesOf(const QString& connectionString, const QString& file, Database& db) {
    if (backup::isOnThisMachine(connectionString) && QFileInfo::exists(file))
        return QFileInfo(file).size();
    return restore::sizeInBytes(db);
}

void roomFor(const QString& connectionString, const QString& file, qint64 bytes) {
    if (!backup::isOnThisMachine(connectionString)) return;
    const QStorageInfo disk(QFileInfo(file).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < bytes)
        throw fb::Error(QStringLiteral("Espaço livre insuficiente em %1: %2 bytes livres, até %3 "
                                       "necessários")
                            .arg(disk.rootPath())
                            .arg(disk.bytesAvailable())
                            .arg(bytes));
}

// What a compaction or a restore has made so far, to be removed when it does not finish.
struct Made {
    QString connectionString;
    LoginParams login;
    QString database, backup;
    bool databaseStarted = false;

    // A stopped action may still be running on the server's side for a moment, and may create
    // its file after the stop: on this machine its names are watched until they stay free.
    void settle() const {
        if (!backup::isOnThisMachine(connectionString)) return;
        QElapsedTimer waited, quiet;
        waited.start();
        quiet.start();
        while (waited.elapsed() < 10000 && quiet.elapsed() < 1500) {
            for (const QString& f : {database, backup})
                if (!f.isEmpty() && QFileInfo::exists(f) && QFile::remove(f)) quiet.restart();
            QThread::msleep(50);
        }
    }

    // What could not be removed, for the log.
    QString discard() const {
        QStringList left;
        if (databaseStarted) left << restore::discard(connectionString, database, login);
        if (!backup.isEmpty()) left << restore::discardBackup(connectionString, backup);
        left.removeAll(QString());
        return left.join(QLatin1Char(' '));
    }
};

QString withNote(const QString& message, const QString& note) {
    return note.isEmpty() ? message : message + QStringLiteral("\r\n") + note;
}

// Runs make; on any failure removes what it made and tells what is left.
template <class Make>
RestoredDatabase cleaningUp(Made& made, Make make) {
    try {
        return make();
    } catch (const ServiceStopped& e) {
        made.settle();
        throw ServiceStopped(withNote(e.message(), made.discard()));
    } catch (const std::exception& e) {
        throw fb::Error(withNote(errorMessage(e), made.discard()),
                        fb::connectionLost(std::current_exception()));
    }
}

// A name whose database and backup are both free.
void chooseNames(Made& made, const QString& original, const QString& tag, bool withBackup) {
    const QDateTime now = QDateTime::currentDateTime();
    // On a server the answer may not be readable: as for the safety copy, a random part.
    const QString random =
        backup::isOnThisMachine(made.connectionString) ? QString() : backup::randomTag();
    for (int copy = 1; copy < 1000; ++copy) {
        const QString db =
            restore::siblingName(original, tag, now, copy, QStringLiteral(".fdb"), random);
        const QString fbk =
            restore::siblingName(original, tag, now, copy, QStringLiteral(".fbk"), random);
        if (restore::taken(made.connectionString, db, made.login) ||
            (withBackup && restore::taken(made.connectionString, fbk, made.login)))
            continue;
        made.database = db;
        if (withBackup) made.backup = fbk;
        return;
    }
    throw fb::Error(QStringLiteral("Não há nome livre para o novo banco ao lado de ") + original);
}

}  // namespace

DatabaseFacts readFacts(const QString& connectionString, const LoginParams& login) {
    Database db(login);
    db.setConnectionString(connectionString);
    db.open();
    Transaction tr(db);
    tr.start();
    Query q(db, tr);
    DatabaseFacts f;
    f.file = backup::serverFileName(db);
    f.pageSize = restore::pageSize(db);
    f.bytes = bytesOf(connectionString, f.file, db);
    // One statement for every count and one for every generator: hundreds of small statements
    // would cost more in round trips than the reading.
    const QStringList tables =
        names(q, QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE "
                                "COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$VIEW_BLR IS NULL"));
    const QStringList generators = names(q, QStringLiteral("SELECT RDB$GENERATOR_NAME FROM "
                                                           "RDB$GENERATORS WHERE "
                                                           "COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    f.rows = values(q, tables, [](const QString& t) {
        return QStringLiteral("COUNT(*) FROM %1").arg(quoted(t));
    });
    f.generators = values(q, generators, [](const QString& g) {
        return QStringLiteral("GEN_ID(%1, 0) FROM RDB$DATABASE").arg(quoted(g));
    });
    q.unprepare();
    tr.commit();
    db.close();
    return f;
}

QString differences(const DatabaseFacts& original, const DatabaseFacts& copy) {
    QStringList out;
    auto compare = [&](const QMap<QString, qint64>& a, const QMap<QString, qint64>& b,
                       const QString& what) {
        QStringList keys = a.keys() + b.keys();
        keys.removeDuplicates();
        for (const QString& k : keys)
            if (a.value(k, -1) != b.value(k, -1) || a.contains(k) != b.contains(k))
                out << QStringLiteral("%1 %2: %3 no original, %4 na cópia")
                           .arg(what, k,
                                a.contains(k) ? QString::number(a.value(k)) : QStringLiteral("—"),
                                b.contains(k) ? QString::number(b.value(k)) : QStringLiteral("—"));
    };
    compare(original.rows, copy.rows, QStringLiteral("Tabela"));
    compare(original.generators, copy.generators, QStringLiteral("Generator"));
    if (out.size() > 10) out = out.mid(0, 10) << QStringLiteral("…");
    return out.join(QStringLiteral("\r\n"));
}

RestoredDatabase compactDatabase(const QString& connectionString, const LoginParams& login,
                                 const ServiceProgress& progress, const ServiceStop& stop) {
    QElapsedTimer clock;
    clock.start();
    // The cleaned original is read as the backup reads it: its garbage left to the restore.
    LoginParams reading = login;
    reading.noGarbageCollection = true;
    const DatabaseFacts before = readFacts(connectionString, reading);
    const QString serviceManager = backup::serviceManager(connectionString);
    Made made{connectionString, login, {}, {}, false};
    return cleaningUp(made, [&] {
        chooseNames(made, before.file, QStringLiteral("compactado"), true);
        if (progress) progress(QStringLiteral("cópia do banco limpo"));
        backup::runBackupService(serviceManager, login, before.file, made.backup, progress,
                                 {true, false, stop});
        // The engine does not survive a disk that fills up under a restore: the new file may
        // take up to what the original does.
        roomFor(connectionString, made.database, before.bytes);
        made.databaseStarted = true;
        if (progress) progress(QStringLiteral("restauração em ") + made.database);
        restore::runRestoreService(serviceManager, login, made.backup, made.database,
                                   before.pageSize, progress, stop);
        const DatabaseFacts after =
            readFacts(restore::onSameServer(connectionString, made.database), login);
        if (const QString d = differences(before, after); !d.isEmpty())
            throw fb::Error(QStringLiteral("O banco compactado não confere com o original:\r\n") +
                            d);
        RestoredDatabase r{before.file, made.database, before.bytes, after.bytes, 0, {}};
        // Its data is the compact file's; where the tool cannot remove it, the log says so.
        r.note = restore::discardBackup(connectionString, made.backup);
        if (!r.note.isEmpty() && !backup::isOnThisMachine(connectionString))
            r.note =
                QStringLiteral("A cópia intermediária %1 ficou no servidor e pode ser apagada.")
                    .arg(made.backup);
        made.backup.clear();
        r.milliseconds = clock.elapsed();
        return r;
    });
}

RestoredDatabase restoreBeside(const QString& connectionString, const QString& databaseFile,
                               const QString& backupFile, const LoginParams& login,
                               const ServiceProgress& progress, const ServiceStop& stop) {
    QElapsedTimer clock;
    clock.start();
    Made made{connectionString, login, {}, {}, false};
    return cleaningUp(made, [&] {
        chooseNames(made, databaseFile, QStringLiteral("restaurado"), false);
        made.databaseStarted = true;
        restore::runRestoreService(backup::serviceManager(connectionString), login, backupFile,
                                   made.database, 0, progress, stop);
        const DatabaseFacts after =
            readFacts(restore::onSameServer(connectionString, made.database), login);
        return RestoredDatabase{databaseFile, made.database, 0, after.bytes, clock.elapsed(), {}};
    });
}
