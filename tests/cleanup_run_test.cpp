// The cleanup run: conditions, order, commits and the log, on a database that enforces its links.
#include <gtest/gtest.h>

#include <QDir>

#include "cleanup/CleanupRun.h"
#include "frame/Session.h"
#include "support/CatalogueMarks.h"
#include "support/CleanupRig.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

using namespace runlog;

class CleanupRunTest : public ::testing::Test, protected CleanupRig {
protected:
    CleanupRunTest() : CleanupRig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"})) {}
    void run(DatabaseKind kind) { LimparTabelas(session, catalogue, kind, kRealNoCopy); }
};

TEST_F(CleanupRunTest, NothingMarkedConnectsAndRunsNothing) {
    markOnly(catalogue, DatabaseKind::Vornix, {});
    run(DatabaseKind::Vornix);
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(view.statuses, QStringList{QStringLiteral("Fim de Processamento...")});
    // Only the frame's read of who else is connected.
    EXPECT_EQ(session.DB_GERAL.requests().statements + session.DB_GERAL.requests().queries, 1);
}

TEST_F(CleanupRunTest, AWrongPathLogsOnlyTheRunsConnectionFailure) {
    markAll(catalogue, DatabaseKind::Vornix);
    view.path = QDir::tempPath() + QStringLiteral("/nao/existe.fdb");
    run(DatabaseKind::Vornix);
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexaoLimpeza()));
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
}

TEST_F(CleanupRunTest, AnEitherBlockRunsForItsSecondKeyAndShowsThatEntry) {
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCA_CONTAARECEBER")});
    run(DatabaseKind::Vornix);
    EXPECT_EQ(
        purgedTables(view.log),
        (QStringList{
            QStringLiteral("SCA_BAIXACHEQUEPERMUTA"), QStringLiteral("SCA_DESCONTOTITULO"),
            QStringLiteral("SCA_RATEIOBAIXACONTAARECEBER"), QStringLiteral("SCA_CONTAFUNCIONARIO"),
            QStringLiteral("SCA_COMISSAOPARCELACR"), QStringLiteral("SCA_BAIXACONTAARECEBER"),
            QStringLiteral("SCA_BAIXAAUTOMATICASCR"), QStringLiteral("SCA_PEDIDOREMESSATITULO"),
            QStringLiteral("SCA_PARCELAREFINANCIADASCR"),
            QStringLiteral("SCA_PRORROGACAOCONTAARECEBER"),
            QStringLiteral("SCA_PARCELACONTAARECEBER"), QStringLiteral("SCA_RATEIOCONTAARECEBER"),
            QStringLiteral("SCA_CONTAARECEBER"), QStringLiteral("SCA_FATURACONTASARECEBER")}));
    EXPECT_TRUE(failures(view.log).isEmpty())
        << failures(view.log).join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(view.statuses.contains(
        QStringLiteral("Contas a Receber / Parcelas / Rateio / Baixas - SCA_BAIXACHEQUEPERMUTA "
                       "(Generator: GEN_BCP_PK_BAIXAPERMUTA)")));
    EXPECT_EQ(probe.count(QStringLiteral("SCA_CONTAAPAGAR")), 3);  // its own block was skipped
    EXPECT_EQ(probe.count(QStringLiteral("SCA_CONTAARECEBER")), 0);
}

TEST_F(CleanupRunTest, EveryEarlyBlockMarkedEmptiesItsTablesWithoutAFailure) {
    const char* const keys[] = {"SCG_LANCAMENTOCONTABIL",
                                "SCG_LANCAMENTOPADRAO",
                                "SCG_PLANOCONTA",
                                "SCA_LANCAMENTOGERENCIAL",
                                "SCA_APURACAO_CIAP",
                                "SCA_APURACAO_ICMS",
                                "SCA_PISCOFINS_BLCP_REGAPURACAO",
                                "SCA_CONTAAPAGAR",
                                "SCA_CONTAARECEBER",
                                "SCA_CONTACORRENTE",
                                "SCA_CONTACORRENTEFORNECEDOR",
                                "SCA_PAGTOANTECIPADO",
                                "SCA_LIBERACAO",
                                "SCA_MAPACOMISSAO",
                                "SCA_ITEMGASTOVENDA",
                                "SCA_FRETESAPAGAR",
                                "SCA_CIAPMOVIMENTACAO",
                                "SCA_PREVENDA"};
    QStringList marked;
    for (const char* k : keys) marked << QString::fromLatin1(k);
    markOnly(catalogue, DatabaseKind::Vornix, marked);
    probe.exec(QStringLiteral("ALTER SEQUENCE GEN_PVE_PK_PREVENDA RESTART WITH 40"));
    run(DatabaseKind::Vornix);
    EXPECT_TRUE(failures(view.log).isEmpty())
        << failures(view.log).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(purgedTables(view.log).size(), 66);
    for (const char* t :
         {"SCG_LANCAMENTOCONTABIL", "SCG_PLANOCONTADETALHE", "SCA_CONTAAPAGAR", "SCA_CONTACORRENTE",
          "SCA_FATURACONTACORRENTE", "SCA_PREVENDA", "SCA_ITEMPREVENDA", "SCA_PAGTOANTECIPADO"})
        EXPECT_EQ(probe.count(QString::fromLatin1(t)), 0) << t;
    // Rows outside the marked entries lose only their links.
    EXPECT_EQ(probe.count(QStringLiteral("SCA_CLIENTE")), 3);
    EXPECT_EQ(probe.count(QStringLiteral(
                  "SELECT COUNT(*) FROM SCA_CLIENTE WHERE CLI_CODIGO_CONTACONTABIL IS NOT NULL")),
              0);
    EXPECT_EQ(probe.count(QStringLiteral(
                  "SELECT COUNT(*) FROM SCA_CUPOMFISCAL WHERE CUP_CODIGO_PREVENDA IS NOT NULL")),
              0);
    EXPECT_EQ(
        probe.scalar(QStringLiteral("SELECT GEN_ID(GEN_PVE_PK_PREVENDA, 0) FROM RDB$DATABASE"))
            .toInt(),
        0);
    EXPECT_EQ(currentKey(), QStringLiteral("SCA_VERIFICACOESPDVONLINE"));
}

TEST_F(CleanupRunTest, MarkingOneEntryClearsLinksInTablesOfOtherEntries) {
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCG_LANCAMENTOCONTABIL")});
    run(DatabaseKind::Vornix);
    EXPECT_TRUE(failures(view.log).isEmpty());
    EXPECT_EQ(probe.count(QStringLiteral("SCA_LANCAMENTOGERENCIAL")), 3);
    EXPECT_EQ(probe.count(QStringLiteral("SELECT COUNT(*) FROM SCA_LANCAMENTOGERENCIAL WHERE "
                                         "LGE_CODIGO_LANCAMENTOCONTABIL IS NOT NULL")),
              0);
}

TEST_F(CleanupRunTest, APurgeRefusedByALinkIsLoggedAndTheBlockGoesOn) {
    probe.exec(
        QStringLiteral("CREATE TABLE BLOQUEIO (ID INTEGER REFERENCES SCA_PARCELACONTAAPAGAR)"));
    probe.exec(QStringLiteral("INSERT INTO BLOQUEIO VALUES (1)"));
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCA_CONTAAPAGAR")});
    run(DatabaseKind::Vornix);
    const QStringList failed = failures(view.log);
    ASSERT_EQ(failed.size(), 2) << failed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(failed[0].startsWith(QStringLiteral("SCA_PARCELACONTAAPAGAR\r\n")));
    EXPECT_TRUE(failed[1].startsWith(
        QStringLiteral("SCA_CONTAAPAGAR\r\n")));  // its parcels are still there
    EXPECT_EQ(probe.count(QStringLiteral("SCA_RATEIOCONTAAPAGAR")),
              0);  // the step after the failure ran
    EXPECT_EQ(probe.count(QStringLiteral("SCA_PARCELACONTAAPAGAR")), 3);
}

TEST_F(CleanupRunTest, MarksAreReadWhenEachBlockIsReached) {
    markOnly(catalogue, DatabaseKind::Vornix,
             {QStringLiteral("SCG_LANCAMENTOPADRAO"), QStringLiteral("SCA_PREVENDA")});
    bool unmarked = false;
    view.onRefresh = [&] {
        if (unmarked) return;
        unmarked = true;  // while E2 purges, the user unmarks the pre-sales
        const int row = catalogue.recNo();
        catalogue.locate(QStringLiteral("TABELA_NOME"), QStringLiteral("SCA_PREVENDA"),
                         Qt::CaseSensitive);
        catalogue.setField(QStringLiteral("EXCLUIR"), QStringLiteral("N"));
        catalogue.setRecNo(row);
    };
    run(DatabaseKind::Vornix);
    EXPECT_EQ(purgedTables(view.log), QStringList{QStringLiteral("SCG_LANCAMENTOPADRAO")});
    EXPECT_EQ(probe.count(QStringLiteral("SCA_PREVENDA")), 3);
}

TEST_F(CleanupRunTest, StatementStepsBecomeDurableWithTheNextPurgeAndTheEndCommitsTheRest) {
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCG_LANCAMENTOPADRAO")});
    run(DatabaseKind::Vornix);
    EXPECT_EQ(session.DB_GERAL.requests().commits, 1);  // one purge, nothing pending at the end

    view.log.clear();
    session.DB_GERAL.requests() = {};
    probe.exec(QStringLiteral(
        "CREATE TABLE BLOQUEIO (ID INTEGER REFERENCES SCG_LANCAMENTOCONTABILDETALHE)"));
    probe.exec(QStringLiteral("INSERT INTO BLOQUEIO VALUES (1)"));
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCG_LANCAMENTOCONTABIL")});
    QList<qint64> linked;
    view.onRefresh = [&] {
        linked << probe.count(
            QStringLiteral("SELECT COUNT(*) FROM SCA_LANCAMENTOGERENCIAL WHERE "
                           "LGE_CODIGO_LANCAMENTOCONTABIL IS NOT NULL"));
    };
    run(DatabaseKind::Vornix);
    // Refreshes: the statement, then the three purges; the first purge fails, so the statement's
    // work waits for the second purge's commit.
    EXPECT_EQ(linked, (QList<qint64>{2, 2, 2, 0}));
    EXPECT_EQ(session.DB_GERAL.requests().commits, 2);
}

// Links cleared by the statements before a purge are committed with it: a stop between them
// undoes them, a stop after the purge keeps it all.
TEST_F(CleanupRunTest, AStopEndsAtACommitLeavingEveryTableUntouchedOrFullyDone) {
    const struct {
        const char* stopDuring;  // a status the run shows while the stop is asked
        qint64 detailRows;
        const char* logged;
    } cases[] = {
        {"UPDATE SCA_EVENTOANALITICO", 3,
         " Os 3 comandos executados desde a última gravação foram desfeitos; nenhuma tabela "
         "ficou pela metade."},
        {" - SCG_PLANOCONTADETALHE", 0, " Tudo o que foi executado até aqui já estava gravado."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopDuring);
        CleanupRig rig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"}));
        rig.probe.exec(
            QStringLiteral("UPDATE SCG_PLANOCONTADETALHE SET PCD_CODIGO_CONTAPAI = 1 "
                           "WHERE ID = 2"));
        rig.probe.exec(QStringLiteral("UPDATE SCA_EMPRESAMASTER SET EMM_CODIGO_PLANOCONTA = 1"));
        markOnly(rig.catalogue, DatabaseKind::Vornix, {QStringLiteral("SCG_PLANOCONTA")});
        const auto links = [&] {
            return rig.count(
                       "SELECT COUNT(*) FROM SCG_PLANOCONTADETALHE WHERE "
                       "PCD_CODIGO_CONTAPAI IS NOT NULL") +
                   rig.count(
                       "SELECT COUNT(*) FROM SCA_EMPRESAMASTER WHERE "
                       "EMM_CODIGO_PLANOCONTA IS NOT NULL");
        };
        const qint64 linked = links(), plans = rig.count("SCG_PLANOCONTA");
        ASSERT_GT(linked, 0);
        rig.view.onRefresh = [&] {
            if (rig.view.status().contains(QLatin1String(c.stopDuring))) rig.session.requestStop();
        };
        LimparTabelas(rig.session, rig.catalogue, DatabaseKind::Vornix, kRealNoCopy);
        EXPECT_EQ(rig.count("SCG_PLANOCONTADETALHE"), c.detailRows);
        EXPECT_EQ(rig.count("SCG_PLANOCONTA"), plans);  // never reached
        // Restored with the rows, or cleared with them.
        EXPECT_EQ(links(), c.detailRows ? linked : 0);
        const QStringList log = body(rig.view.log);
        ASSERT_FALSE(log.isEmpty());
        EXPECT_TRUE(log.last().startsWith(QStringLiteral("Operação parada pelo usuário")));
        EXPECT_TRUE(log.last().endsWith(QString::fromUtf8(c.logged))) << log.last().toStdString();
    }
}

TEST_F(CleanupRunTest, PdvRunPurgesTheSaleTablesInOrderAndRestartsTheirGenerators) {
    for (const char* g : {"GEN_MCA_CONTADOR", "GEN_ITV_CONTADOR", "GEN_VEN_CONTADOR"})
        probe.exec(QStringLiteral("ALTER SEQUENCE %1 RESTART WITH 7").arg(QLatin1String(g)));
    markOnly(catalogue, DatabaseKind::Pdv, {QStringLiteral("PDV_VENDA")});
    run(DatabaseKind::Pdv);
    EXPECT_EQ(
        purgedTables(view.log),
        (QStringList{QStringLiteral("PDV_GRADEITENSVENDA"), QStringLiteral("PDV_MULTIPLOSCARTOES"),
                     QStringLiteral("PDV_PARCELAVENDA"), QStringLiteral("PDV_ITENSVENDA"),
                     QStringLiteral("PDV_VENDA")}));
    EXPECT_EQ(runlog::body(view.log).size(), 10);
    for (const char* g : {"GEN_MCA_CONTADOR", "GEN_ITV_CONTADOR", "GEN_VEN_CONTADOR"})
        EXPECT_EQ(
            probe
                .scalar(
                    QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(QLatin1String(g)))
                .toInt(),
            0);
}

TEST_F(CleanupRunTest, PdvRunWithEverythingMarkedPurgesFortySevenTables) {
    markAll(catalogue, DatabaseKind::Pdv);
    run(DatabaseKind::Pdv);
    EXPECT_EQ(purgedTables(view.log).size(), 47);
    EXPECT_TRUE(failures(view.log).isEmpty());
    EXPECT_EQ(runlog::body(view.log).size(), 94);
    EXPECT_EQ(probe.count(QStringLiteral("PDV_SANGRIASUPRIMENTO")), 0);
    EXPECT_EQ(currentKey(), QStringLiteral("PDV_SANGRIASUPRIMENTO"));
}

TEST(CleanupRunEmptyDatabase, FollowsTheChoiceNotTheDatabaseAndReportsEveryMissingTable) {
    TestDatabase empty{QStringList()};
    FakeView view;
    view.path = empty.path();
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Pdv);
    LimparTabelas(session, catalogue, DatabaseKind::Pdv, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 94);
    EXPECT_EQ(runlog::body(view.log)[0], QStringLiteral("Tabela PDV_EMPRESA Inexistente"));
    EXPECT_EQ(runlog::body(view.log)[1], kSeparator);
    EXPECT_EQ(runlog::body(view.log)[92],
              QStringLiteral("Tabela PDV_SANGRIASUPRIMENTO Inexistente"));
}

}  // namespace
