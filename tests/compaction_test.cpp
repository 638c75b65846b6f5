// Compaction and restore through the service manager: a smaller file with the same data, and
// failures or a stop that leave the original as it was and nothing under the new name.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "base/Error.h"
#include "db/Backup.h"
#include "db/Compaction.h"
#include "db/Restore.h"
#include "support/FailureOf.h"
#include "support/Snapshot.h"
#include "support/TempMount.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

namespace {

const QStringList kRichData =
    fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"});

// Many rows written and then deleted, as a cleanup leaves a table, and a generator moved on.
void fillAndClean(const QString& cs, int rows = 20000) {
    Probe probe(cs);
    probe.exec(
        QStringLiteral("INSERT INTO SCA_CLIENTE (ID, CLI_CODIGO_USUARIO) SELECT 100000 + "
                       "ROW_NUMBER() OVER (), NULL FROM RDB$FIELDS A CROSS JOIN RDB$FIELDS B "
                       "ROWS %1")
            .arg(rows));
    probe.exec(QStringLiteral("DELETE FROM SCA_CLIENTE WHERE ID >= 100000"));
    probe.scalar(QStringLiteral("SELECT GEN_ID(GEN_CCE_PK_CONJUGECLIENTE, 17) FROM RDB$DATABASE"));
}

// A test database as VORNIX.FDB in a folder of its own.
struct Folder {
    Folder() {
        QFile::copy(tdb.path(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    TestDatabase tdb{kRichData};
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("VORNIX.FDB"));
};

QMap<QString, QStringList> snapshotOf(const QString& cs) {
    Probe probe(cs);
    return snapshot(probe);
}

// Every file of the folder, but the database itself.
QStringList othersIn(const QString& folder, const QString& database) {
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.removeAll(QFileInfo(database).fileName());
    return files;
}

TEST(Compaction, GivesASmallerFileBesideWithTheSameRowsAndGenerators) {
    TestServer server;
    for (const bool served : {false, true}) {
        SCOPED_TRACE(served ? "through the server" : "embedded");
        Folder folder;
        const QString cs = served ? server.connectionString(folder.path) : folder.path;
        fillAndClean(cs);
        const auto before = snapshotOf(cs);
        const qint64 size = QFileInfo(folder.path).size();
        QStringList lines;
        const RestoredDatabase r = compactDatabase(cs, sysdbaLogin(), [&](const QString& l) {
            if (!l.isEmpty()) lines << l;
        });
        EXPECT_EQ(othersIn(folder.dir.path(), folder.path),
                  QStringList{QFileInfo(r.file).fileName()});
        EXPECT_TRUE(QFileInfo(r.file).fileName().contains(QStringLiteral("-compactado-")));
        EXPECT_EQ(r.bytesBefore, size);
        EXPECT_EQ(r.bytesAfter, QFileInfo(r.file).size());
        EXPECT_LT(r.bytesAfter * 10, size * 9) << r.bytesAfter << " " << size;
        EXPECT_EQ(lines.size(), 2) << lines.join(u'|').toStdString();  // the two phases
        EXPECT_EQ(snapshotOf(restore::onSameServer(cs, r.file)), before);
        EXPECT_EQ(snapshotOf(cs), before);
        EXPECT_EQ(QFileInfo(folder.path).size(), size);
        QFile::remove(r.file);
    }
}

// The read-only folder fails the backup; the full disk is found before the restore; the server
// dies and a stop is asked once each service has started.
TEST(CompactionFailure, LeavesTheOriginalAsItWasAndNothingUnderTheNewName) {
    enum class Way { ReadOnly, FullDisk, ServerKilled, StopInBackup, StopInRestore };
    const struct {
        const char* name;
        Way way;
        const char* message;
    } cases[] = {
        {"read-only folder", Way::ReadOnly, "cannot open backup file"},
        {"full disk", Way::FullDisk, "Espaço livre insuficiente"},
        {"server killed", Way::ServerKilled, ""},
        {"stop in the backup", Way::StopInBackup, "Interrompido pelo usuário"},
        {"stop in the restore", Way::StopInRestore, "Interrompido pelo usuário"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase tdb(kRichData);
        fillAndClean(tdb.path(), 40000);
        const qint64 size = QFileInfo(tdb.path()).size();
        TempMount fs(QStringLiteral("mode=0700"), size * 2 + (1 << 20));
        if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
        const QString path = fs.path(QStringLiteral("VORNIX.FDB"));
        if (c.way == Way::ReadOnly) {
            ASSERT_TRUE(fs.bindFile(tdb.path(), QStringLiteral("VORNIX.FDB")));
            ASSERT_TRUE(fs.remountReadOnly());
        } else {
            ASSERT_TRUE(QFile::copy(tdb.path(), path));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        }
        if (c.way == Way::FullDisk) {
            // Room for the backup, not for the restored database too.
            QFile filler(fs.path(QStringLiteral("enchimento")));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
            const QByteArray block(size - size / 4, 'x');
            ASSERT_EQ(filler.write(block), block.size());
        }
        TestServer server;
        const QString cs = c.way == Way::ServerKilled ? server.connectionString(path) : path;
        const auto before = snapshotOf(cs);
        // The service's quiet: the stop and the kill come from the check made after its start.
        bool restoring = false;
        const QString failure = failureOf([&] {
            compactDatabase(
                cs, sysdbaLogin(),
                [&](const QString& l) {
                    restoring = restoring || l.startsWith(QStringLiteral("restauração"));
                },
                [&] {
                    if (c.way == Way::ServerKilled && restoring && server.running()) server.kill();
                    return c.way == Way::StopInBackup || (c.way == Way::StopInRestore && restoring);
                });
        });
        EXPECT_NE(failure, QStringLiteral("(no error)"));
        EXPECT_TRUE(failure.contains(QString::fromUtf8(c.message))) << failure.toStdString();
        EXPECT_EQ(othersIn(fs.path(QString()), path).filter(QStringLiteral("VORNIX")),
                  QStringList())
            << failure.toStdString();
        if (c.way == Way::ServerKilled) server.start();
        EXPECT_EQ(snapshotOf(cs), before);
    }
}

TEST(Restore, ASafetyCopyRestoresBesideAsTheDatabaseWasAndASwapPutsItInPlace) {
    TestDatabase tdb(kRichData);
    const auto before = snapshotOf(tdb.path());
    Database db(sysdbaLogin());
    db.setConnectionString(tdb.path());
    db.open();
    const BackupResult copy = makeBackup(db, nullptr);
    db.close();
    fillAndClean(tdb.path(), 10);

    const RestoredDatabase r =
        restoreBeside(tdb.path(), tdb.path(), copy.file, sysdbaLogin(), nullptr);
    EXPECT_TRUE(QFileInfo(r.file).fileName().contains(QStringLiteral("-restaurado-")));
    EXPECT_EQ(r.bytesAfter, QFileInfo(r.file).size());
    EXPECT_EQ(snapshotOf(r.file), before);
    // A second restore of the same second takes the next name.
    const RestoredDatabase again =
        restoreBeside(tdb.path(), tdb.path(), copy.file, sysdbaLogin(), nullptr);
    EXPECT_NE(again.file, r.file);

    const QDateTime when(QDate(2026, 12, 10), QTime(14, 30, 5));
    const QString aside = restore::swap(tdb.path(), r.file, QStringLiteral("antes"), when);
    EXPECT_EQ(QFileInfo(aside).fileName(), QFileInfo(tdb.path()).completeBaseName() +
                                               QStringLiteral("-antes-20261210-143005.fdb"));
    EXPECT_FALSE(QFileInfo::exists(r.file));
    EXPECT_EQ(snapshotOf(tdb.path()), before);
    EXPECT_NE(snapshotOf(aside), before);  // its generator moved on
    // The name is taken now: the next swap of the same second keeps both.
    const QString second = restore::swap(tdb.path(), again.file, QStringLiteral("antes"), when);
    EXPECT_TRUE(second.endsWith(QStringLiteral("-143005-2.fdb"))) << second.toStdString();
    EXPECT_TRUE(QFileInfo::exists(aside));
    QFile::remove(copy.file);
    QFile::remove(aside);
    QFile::remove(second);
}

}  // namespace
