// Purging one table: existence, count, delete, generator restart, commit, and the log of each
// outcome.
#include <gtest/gtest.h>

#include "catalogue/Selection.h"
#include "cleanup/Purge.h"
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

class PurgeTest : public ::testing::Test, protected CleanupRig {
protected:
    PurgeTest() : CleanupRig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"})) {}
    void SetUp() override {
        CarregarTabelas(catalogue, DatabaseKind::Vornix);
        catalogue.locate(QStringLiteral("TABELA_NOME"), QStringLiteral("SCG_LANCAMENTOCONTABIL"),
                         Qt::CaseInsensitive);
        ASSERT_TRUE(session.ConectarBanco(falhaConexaoLimpeza()));
        ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
        session.DB_GERAL.requests() = {};
    }
    void TearDown() override { session.FinalizarOperacao(); }

    QString generatorValue(const char* name) {
        return probe
            .scalar(
                QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(QLatin1String(name)))
            .toString();
    }
};

TEST_F(PurgeTest, PurgesCountsRestartsTheGeneratorAndCommitsInSixRequests) {
    probe.exec(QStringLiteral("ALTER SEQUENCE GEN_LCD_PK_LANCAMENTOCONTABILD RESTART WITH 50"));
    LimparTabela(session, catalogue, QStringLiteral("SCG_LANCAMENTOCONTABILDETALHE"),
                 QStringLiteral("GEN_LCD_PK_LANCAMENTOCONTABILD"));
    EXPECT_EQ(view.log,
              (QStringList{QStringLiteral("SCG_LANCAMENTOCONTABILDETALHE ( 3 )"), kSeparator}));
    EXPECT_EQ(view.statuses.first(),
              QStringLiteral("Lançamento Contábil - SCG_LANCAMENTOCONTABILDETALHE "
                             "(Generator: GEN_LCD_PK_LANCAMENTOCONTABILD)"));
    EXPECT_EQ(probe.count(QStringLiteral("SCG_LANCAMENTOCONTABILDETALHE")), 0);  // committed
    EXPECT_EQ(generatorValue("GEN_LCD_PK_LANCAMENTOCONTABILD"), QStringLiteral("0"));
    EXPECT_EQ(session.DB_GERAL.requests().total(), 6);
    EXPECT_FALSE(session.TR_GERAL.isActive());
    EXPECT_EQ(view.refreshes, 1);
}

TEST_F(PurgeTest, WithoutAGeneratorAPurgeCostsFourRequests) {
    for (const QString& none : {QString(), QStringLiteral("   ")}) {
        view.statuses.clear();
        session.DB_GERAL.requests() = {};
        LimparTabela(session, catalogue, QStringLiteral("SCG_LOTECONTABIL"), none);
        EXPECT_EQ(view.statuses.first(), QStringLiteral("Lançamento Contábil - SCG_LOTECONTABIL"));
        EXPECT_EQ(session.DB_GERAL.requests().total(), 4);
    }
    // The second purge found the table empty.
    EXPECT_EQ(view.log, (QStringList{QStringLiteral("SCG_LOTECONTABIL ( 3 )"), kSeparator,
                                     QStringLiteral("SCG_LOTECONTABIL ( 0 )"), kSeparator}));
}

TEST_F(PurgeTest, AMissingTableIsReportedAndNothingElseHappens) {
    LimparTabela(session, catalogue, QStringLiteral("SCA_NAO_EXISTE"),
                 QStringLiteral("GEN_LCD_PK_LANCAMENTOCONTABILD"));
    EXPECT_EQ(view.log,
              (QStringList{QStringLiteral("Tabela SCA_NAO_EXISTE Inexistente"), kSeparator}));
    EXPECT_EQ(session.DB_GERAL.requests().total(), 1);
    EXPECT_EQ(session.DB_GERAL.requests().commits, 0);
}

TEST_F(PurgeTest, AMissingGeneratorIsReportedAndThePurgeStillCommits) {
    LimparTabela(session, catalogue, QStringLiteral("SCG_LOTECONTABIL"),
                 QStringLiteral("GEN_NAO_EXISTE"));
    EXPECT_EQ(view.log,
              (QStringList{QStringLiteral("SCG_LOTECONTABIL ( 3 )"),
                           QStringLiteral("Generator GEN_NAO_EXISTE inexistente"), kSeparator}));
    EXPECT_EQ(probe.count(QStringLiteral("SCG_LOTECONTABIL")), 0);
}

TEST_F(PurgeTest, ARefusedDeleteLogsTheServerMessageAndKeepsRowsAndGenerator) {
    probe.exec(QStringLiteral("ALTER SEQUENCE GEN_LCO_PK_LANCAMENTOCONTABIL RESTART WITH 9"));
    LimparTabela(session, catalogue, QStringLiteral("SCG_LANCAMENTOCONTABIL"),
                 QStringLiteral("GEN_LCO_PK_LANCAMENTOCONTABIL"));
    ASSERT_EQ(view.log.size(), 2);
    EXPECT_TRUE(view.log[0].startsWith(QStringLiteral("SCG_LANCAMENTOCONTABIL\r\n")));
    EXPECT_TRUE(view.log[0].contains(QStringLiteral("FOREIGN KEY"))) << view.log[0].toStdString();
    EXPECT_EQ(view.log[1], kSeparator);
    EXPECT_EQ(session.DB_GERAL.requests().commits, 0);
    EXPECT_EQ(probe.count(QStringLiteral("SCG_LANCAMENTOCONTABIL")), 3);
    EXPECT_EQ(generatorValue("GEN_LCO_PK_LANCAMENTOCONTABIL"), QStringLiteral("9"));
}

TEST_F(PurgeTest, ADeleteConditionKeepsItsRowsButTheCountIsOfAllRows) {
    probe.exec(QStringLiteral(
        "INSERT INTO SCA_HISTORICOALTERACAO (ID, HAL_CODIGO_TABELA) VALUES (1, 175)"));
    probe.exec(QStringLiteral(
        "INSERT INTO SCA_HISTORICOALTERACAO (ID, HAL_CODIGO_TABELA) VALUES (2, 12)"));
    probe.exec(QStringLiteral(
        "INSERT INTO SCA_HISTORICOALTERACAO (ID, HAL_CODIGO_TABELA) VALUES (3, 175)"));
    LimparTabela(session, catalogue, QStringLiteral("SCA_HISTORICOALTERACAO"),
                 QStringLiteral("GEN_HAL_PK_HISTORICOALTERACAO"),
                 QStringLiteral(" WHERE HAL_CODIGO_TABELA <> 175"));
    EXPECT_EQ(view.log.first(), QStringLiteral("SCA_HISTORICOALTERACAO ( 3 )"));
    EXPECT_EQ(probe.column(QStringLiteral("SELECT ID FROM SCA_HISTORICOALTERACAO ORDER BY ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
}

TEST(TabelaSelecionada, FindsAnyCaseAndReadsOnlyAnExactS) {
    MemTable t;
    markOnly(t, DatabaseKind::Vornix, {QStringLiteral("SCA_CLIENTE")});
    EXPECT_TRUE(TabelaSelecionada(t, QStringLiteral("sca_cliente")));
    EXPECT_EQ(t.field(QStringLiteral("TABELA_NOME")).toString(), QStringLiteral("SCA_CLIENTE"));
    EXPECT_FALSE(TabelaSelecionada(t, QStringLiteral("SCA_FORNECEDOR")));
    EXPECT_EQ(t.field(QStringLiteral("TABELA_NOME")).toString(), QStringLiteral("SCA_FORNECEDOR"));
    MarcarTabela(t, QStringLiteral("SCA_FORNECEDOR"), QStringLiteral("s"));
    EXPECT_FALSE(TabelaSelecionada(t, QStringLiteral("SCA_FORNECEDOR")));
    EXPECT_FALSE(TabelaSelecionada(t, QStringLiteral("PDV_VENDA")));
}

}  // namespace
