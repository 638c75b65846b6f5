// The long-operation frame, the command runner and the log, on real databases.
#include <gtest/gtest.h>

#include "base/Dialogs.h"
#include "base/Error.h"
#include "db/FbClient.h"
#include "frame/Session.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.path = tdb.path();
        Probe(tdb.path()).exec(QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY)"));
    }
    TestDatabase tdb;
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
};

TEST_F(FrameTest, AMissingFileLogsOnlyTheFailureTextAndTheClientsMessage) {
    view.path = tdb.path() + QStringLiteral(".nao-existe");
    view.log << QStringLiteral("from an earlier operation");
    bool ran = false;
    EXPECT_TRUE(session.runOperation(falhaConexao(), [&] { ran = true; }));
    EXPECT_FALSE(ran);
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    const QString prefix = QStringLiteral(
        "Falha durante Tentativa de Conexão com o Banco de Dados.\r\nVerifique se o Caminho está "
        "Correto.\r\n");
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(prefix));
    const QString clientMessage = view.log[0].mid(prefix.size());
    EXPECT_TRUE(clientMessage.contains(QStringLiteral("I/O error"))) << clientMessage.toStdString();
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_EQ(view.events, (QStringList{QStringLiteral("disable"), QStringLiteral("clear"),
                                        QStringLiteral("hourglass"), QStringLiteral("enable"),
                                        QStringLiteral("arrow")}));
    EXPECT_FALSE(session.DB_GERAL.isConnected());
}

TEST_F(FrameTest, TheCleanupRunHasItsOwnWording) {
    view.path = QString();
    session.runOperation(falhaConexaoLimpeza(), [] {});
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(
        QStringLiteral("Falha durante tentativa de Conexão com o Banco de Dados.\r\nVerifique se o "
                       "Caminho está correto.\r\n")));
}

// Before prepareChanges (the simulation's transaction, the safety copy) nothing may change,
// whichever way a statement is sent; after the frame the guard is back.
TEST_F(FrameTest, AStatementBeforeTheChangesArePreparedNeverReachesTheDatabase) {
    Probe probe(tdb.path());
    session.runOperation(falhaConexao(), [&] {
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (1)"), Commit::EachStatement);
        session.QRY_GERAL.setSql(QStringLiteral("INSERT INTO T VALUES (2)"));
        EXPECT_THROW(session.QRY_GERAL.execSql(), fb::Error);
        EXPECT_THROW(session.runStep(QStringLiteral("passo"), [] {}), AppError);
        EXPECT_EQ(session.DB_GERAL.requests().statements, 0);
    });
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].contains(QStringLiteral("Comando recusado")));
    EXPECT_EQ(probe.count(QStringLiteral("T")), 0);
    EXPECT_FALSE(session.TR_GERAL.changesAllowed());
}

TEST_F(FrameTest, CommittingRunnerLogsAFailureAndCommitsTheNextStatement) {
    Probe probe(tdb.path());
    session.runOperation(falhaConexao(), [&] {
        ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
        session.ExecutarComando(QStringLiteral("INSERT INTO NAO_EXISTE VALUES (1)"),
                                Commit::EachStatement);
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (1)"), Commit::EachStatement);
        EXPECT_EQ(probe.count(QStringLiteral("T")), 1);  // visible before the frame ends
        EXPECT_EQ(view.status(), QStringLiteral("Executando Comando : INSERT INTO T VALUES (1)"));
    });
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(
        QStringLiteral("Falha na execução do Comando:\r\nINSERT INTO NAO_EXISTE VALUES (1)\r\n")));
    EXPECT_TRUE(runlog::body(view.log)[0].contains(QStringLiteral("Table unknown")));
    EXPECT_EQ(view.refreshes, 2);
}

TEST_F(FrameTest, NonCommittingRunnerLeavesWorkInvisibleUntilTheFrameCommits) {
    Probe probe(tdb.path());
    session.runOperation(falhaConexaoLimpeza(), [&] {
        ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (1)"), Commit::None);
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (2)"), Commit::None);
        EXPECT_EQ(probe.count(QStringLiteral("T")), 0);
    });
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(probe.count(QStringLiteral("T")), 2);
}

TEST_F(FrameTest, ALockedRowFailsAtOnceAndTheRunGoesOn) {
    Database lockerDb(sysdbaLogin());
    lockerDb.setConnectionString(tdb.path());
    lockerDb.open();
    Transaction locker(lockerDb);
    Query lock(lockerDb, locker);
    Probe(tdb.path()).exec(QStringLiteral("INSERT INTO T VALUES (1)"));
    lock.setSql(QStringLiteral("UPDATE T SET ID = 10 WHERE ID = 1"));
    lock.execSql();

    Probe probe(tdb.path());
    dialogs.confirmAnswers = {true};  // go on although another program is connected
    session.runOperation(falhaConexao(), [&] {
        ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
        session.ExecutarComando(QStringLiteral("DELETE FROM T WHERE ID = 1"),
                                Commit::EachStatement);
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (2)"), Commit::EachStatement);
    });
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].contains(QStringLiteral("DELETE FROM T WHERE ID = 1")));
    EXPECT_EQ(probe.count(QStringLiteral("SELECT COUNT(*) FROM T WHERE ID = 2")), 1);
}

TEST_F(FrameTest, AnErrorEscapingTheBodyEndsTheFrameFirstAndKeepsDoneWork) {
    Probe probe(tdb.path());
    QStringList eventsAtThrow;
    try {
        session.runOperation(falhaConexao(), [&] {
            ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
            session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (1)"), Commit::None);
            eventsAtThrow = view.events;
            throw AppError(QStringLiteral("Operação Cancelada"));
        });
        FAIL() << "the error did not reach the caller";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Operação Cancelada"));
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
        EXPECT_TRUE(view.controlsEnabled);
        EXPECT_FALSE(view.hourglass);
    }
    EXPECT_FALSE(eventsAtThrow.contains(QStringLiteral("enable")));
    EXPECT_FALSE(session.DB_GERAL.isConnected());
    EXPECT_FALSE(session.running());
    EXPECT_EQ(probe.count(QStringLiteral("T")), 1);  // nothing is ever rolled back
}

TEST_F(FrameTest, NoSecondOperationStartsWhileOneRuns) {
    int inner = 0;
    bool accepted = true;
    view.onRefresh = [&] { accepted = session.runOperation(falhaConexao(), [&] { ++inner; }); };
    session.runOperation(falhaConexao(), [&] {
        ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
        session.ExecutarComando(QStringLiteral("INSERT INTO T VALUES (1)"), Commit::EachStatement);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(inner, 0);
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("T")), 1);
}

TEST_F(FrameTest, TheNextConnectionWorksAfterAFailedOne) {
    view.path = QStringLiteral("/nao/existe.fdb");
    session.runOperation(falhaConexao(), [] {});
    view.path = tdb.path();
    bool ran = false;
    session.runOperation(falhaConexao(), [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(runlog::body(view.log).isEmpty());  // cleared at the start of every operation
}

TEST_F(FrameTest, SeparatorIsNinetySevenHyphens) {
    session.RegistrarSeparador();
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_EQ(runlog::body(view.log)[0], QString(97, QLatin1Char('-')));
}

TEST(ErrorBox, AddsAFinalStopOnlyAfterCharactersAboveIt) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"O estabelecimento informado não existe", "O estabelecimento informado não existe."},
        {"Confirma ?", "Confirma ?."},
        {"valor 12", "valor 12."},
        {"lista:", "lista:."},
        {"Usuário genérico não encontrado no banco de dados.",
         "Usuário genérico não encontrado no banco de dados."},
        {"Pronto!", "Pronto!"},
        {"(fim)", "(fim)"},
        {"fim ", "fim "},
        {"linha\n", "linha\n"},
        {"", ""},
        {"''''' is not a valid integer value", "''''' is not a valid integer value."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withFinalStop(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

}  // namespace
