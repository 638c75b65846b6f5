// Working through a Firebird server over TCP, as technicians do with databases on other machines,
// and what the tool does when the server or the network fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "base/Error.h"

#include "cleanup/CleanupRun.h"
#include "removals/Establishment.h"
#include "removals/User.h"
#include "support/CatalogueMarks.h"
#include "support/FakeView.h"
#include "support/LockedRow.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/Snapshot.h"
#include "support/TempMount.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

namespace {

// Runs the same operation on two copies of one database, directly and through the server.
class OverTcpTest : public ::testing::Test {
protected:
    template <class Operation>
    void compare(const QStringList& fixtures, Operation operation) {
        TestDatabase direct(fixtures), served(fixtures);
        FakeView view;
        ScriptedDialogs dialogs;
        Session session(view, dialogs);
        view.path = direct.path();
        operation(session, view);
        const QStringList directLog = runlog::body(view.log);
        view.path = server.connectionString(served.path());
        operation(session, view);
        EXPECT_EQ(runlog::body(view.log), directLog);
        Probe a(direct.path()), b(server.connectionString(served.path()));
        EXPECT_EQ(snapshot(a), snapshot(b));
    }
    TestServer server;
};

TEST_F(OverTcpTest, TheFullErpCleanupGivesTheSameDatabaseAsDirectly) {
    compare(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"}),
            [](Session& session, FakeView& view) {
                MemTable catalogue;
                markAll(catalogue, DatabaseKind::Vornix);
                LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
                EXPECT_TRUE(runlog::failures(view.log).isEmpty()) << runlog::lines(view.log);
            });
}

TEST_F(OverTcpTest, AnEstablishmentAndAUserRemovalGiveTheSameDatabaseAsDirectly) {
    compare(fixtureFiles({"schema.sql", "keys.sql", "establishment-removal.sql"}),
            [](Session& session, FakeView&) {
                ScriptedDialogs dialogs;
                dialogs.inputAnswers = {QStringLiteral("5001")};
                dialogs.confirmAnswers = {true};
                RemoverEstabelecimento(session, dialogs);
            });
    compare(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}),
            [](Session& session, FakeView&) { RemoverUsuario(session, 3002, kRealNoCopy); });
}

class ServerFaultTest : public ::testing::Test {
protected:
    void expectOnlyTheConnectionFailure(const char* mentions) {
        FakeView view;
        view.path = path;
        ScriptedDialogs dialogs;
        Session session(view, dialogs);
        RemoverUsuario(session, 3002, kRealNoCopy);
        ASSERT_EQ(runlog::body(view.log).size(), 1) << runlog::lines(view.log);
        EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexao()));
        EXPECT_TRUE(
            runlog::body(view.log)[0].contains(QLatin1String(mentions), Qt::CaseInsensitive))
            << view.log[0].toStdString();
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
        EXPECT_TRUE(view.controlsEnabled);
        EXPECT_FALSE(view.hourglass);
        EXPECT_FALSE(session.DB_GERAL.isConnected());
    }
    TestDatabase tdb{fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"})};
    QString path;
};

TEST_F(ServerFaultTest, AWrongPasswordAWrongPortAndAServerThatIsDownLogOnlyTheConnectionFailure) {
    TestServer other(QStringLiteral("outra-senha"));
    path = other.connectionString(tdb.path());
    expectOnlyTheConnectionFailure("password");

    TestServer server;
    path = QStringLiteral("127.0.0.1/%1:%2").arg(server.port() == 1 ? 2 : 1).arg(tdb.path());
    expectOnlyTheConnectionFailure("network");

    path = server.connectionString(tdb.path());
    server.kill();
    expectOnlyTheConnectionFailure("network");
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("SCA_SENHA")), 3);  // nothing changed
}

TEST_F(ServerFaultTest, AServerKilledInTheMiddleOfARunEndsItTruthfullyAndLosesNothingCommitted) {
    TestDatabase docs(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"}));
    TestServer server;
    FakeView view;
    view.path = server.connectionString(docs.path());
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Vornix);
    int refreshes = 0;
    view.onRefresh = [&] {
        if (++refreshes == 20) server.kill();
    };
    LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    // The step that met the dead server is logged with its cause, then one line ends the run:
    // every later step could only fail the same way, and no commit is tried at the end.
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_FALSE(view.hourglass);
    EXPECT_FALSE(session.DB_GERAL.isConnected());
    const QStringList failed = runlog::failures(view.log);
    const QStringList purged = runlog::purgedTables(view.log);
    EXPECT_FALSE(purged.isEmpty());
    ASSERT_EQ(failed.size(), 2) << runlog::lines(view.log);
    EXPECT_TRUE(failed[0].contains(QLatin1String("network"), Qt::CaseInsensitive) ||
                failed[0].contains(QLatin1String("connection"), Qt::CaseInsensitive))
        << failed[0].toStdString();
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^A conexão com o banco de dados foi perdida no passo \\d+ "
                                   "de 395; os \\d+ passos seguintes não foram executados, e "
                                   "o que ainda não havia sido gravado foi descartado pelo "
                                   "servidor\\.$"))
                    .match(failed[1])
                    .hasMatch())
        << failed[1].toStdString();
    EXPECT_TRUE(runlog::summary(view.log).contains(
        QStringLiteral("a conexão com o banco de dados foi perdida")));

    // What was committed before the kill stays; a new run after the server is back works.
    server.start();
    Probe probe(server.connectionString(docs.path()));
    EXPECT_EQ(probe.count(purged.first()), 0);
    view.onRefresh = nullptr;
    LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    EXPECT_TRUE(runlog::failures(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(runlog::purgedTables(view.log).size(), 274);
}

TEST_F(ServerFaultTest, ARowLockedByAnotherConnectionFailsAtOnceAndTheRunGoesOn) {
    TestServer server;
    const QString served = server.connectionString(tdb.path());
    const LockedRow locked(served);
    FakeView view;
    view.path = served;
    ScriptedDialogs dialogs;
    dialogs.confirmAnswers = {true};  // go on although another program is connected
    Session session(view, dialogs);
    RemoverUsuario(session, 3002, kRealNoCopy);
    expectTheLockedRowsFailures(view.log);
}

TEST(DatabaseFault, EveryWriteToAReadOnlyDatabaseIsRefusedAndLogged) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    QProcess gfix;
    gfix.start(QStringLiteral("gfix"),
               {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-mode"),
                QStringLiteral("read_only"), tdb.path()});
    ASSERT_TRUE(gfix.waitForFinished(30000));
    ASSERT_EQ(gfix.exitCode(), 0) << gfix.readAllStandardError().toStdString();
    FakeView view;
    view.path = tdb.path();
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    RemoverUsuario(session, 3002, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 7) << runlog::lines(view.log);
    for (const QString& entry : runlog::body(view.log))
        EXPECT_TRUE(entry.contains(QStringLiteral("read-only"))) << entry.toStdString();
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("SCA_SENHA")), 3);
}

TEST(DatabaseFault, ADatabaseOnAReadOnlyFileSystemIsRefusedWithItsMessage) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    TempMount fs(QStringLiteral("mode=0700"), QFileInfo(tdb.path()).size() + (1 << 20));
    if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
    const QString path = fs.path(QStringLiteral("VORNIX.FDB"));
    ASSERT_TRUE(QFile::copy(tdb.path(), path));
    ASSERT_TRUE(fs.remountReadOnly());
    FakeView view;
    view.path = path;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    RemoverUsuario(session, 3002, kRealNoCopy);
    ASSERT_FALSE(runlog::body(view.log).isEmpty());
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexao()) ||
                runlog::body(view.log).size() == 7)
        << runlog::lines(view.log);
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_FALSE(session.DB_GERAL.isConnected());
}

TEST(DatabaseFault, ADatabaseOnAFullDiskLogsItsFailuresAndKeepsWhatWasCommitted) {
    TestDatabase tdb(
        fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"}));
    const qint64 size = QFileInfo(tdb.path()).size();
    TempMount fs(QStringLiteral("mode=0700"), size + 64 * 1024);
    if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
    const QString path = fs.path(QStringLiteral("VORNIX.FDB"));
    ASSERT_TRUE(QFile::copy(tdb.path(), path));
    {
        // Fill what is left, so the first page the database needs cannot be written.
        QFile filler(fs.path(QStringLiteral("enchimento")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    FakeView view;
    view.path = path;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Vornix);
    QString endError;
    try {
        LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    } catch (const std::exception& e) {
        endError = errorMessage(e);
    }
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_FALSE(session.DB_GERAL.isConnected());
    // Whatever the engine could not write is told, in the log or the error box.
    const QStringList failed = runlog::failures(view.log);
    if (!failed.isEmpty() || !endError.isEmpty()) {
        const QString told = failed.join(QLatin1Char('\n')) + endError;
        EXPECT_TRUE(told.contains(QLatin1String("space"), Qt::CaseInsensitive) ||
                    told.contains(QLatin1String("write"), Qt::CaseInsensitive) ||
                    told.contains(QLatin1String("I/O"), Qt::CaseInsensitive))
            << told.toStdString();
    }
    QFile::remove(fs.path(QStringLiteral("enchimento")));
    // The database is still sound: what was logged as purged and committed is gone (the audit
    // keeps its table-175 rows by design).
    Probe probe(path);
    for (const QString& t : runlog::purgedTables(view.log)) {
        if (t != QLatin1String("SCA_HISTORICOALTERACAO") &&
            !failed.join(QString()).contains(t + QStringLiteral("\r\n"))) {
            EXPECT_EQ(probe.count(t), 0) << t.toStdString();
        }
    }
}

}  // namespace
