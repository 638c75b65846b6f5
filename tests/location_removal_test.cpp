// Removing storage location '99': the script, its reach, and its ways out.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "removals/Location99.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

const QString kFinalMessage = QStringLiteral(
    "Antes de utilizar o sistema, acesse a instalação e defina que \"NÃO\" UTILIZA SALDO PARCIAL");

TEST(LocationRemovalScript, HasSixtyTwoStatementsWithTheCodeQuotedWhereItBelongs) {
    const auto script = location99Script();
    ASSERT_EQ(script.size(), 62u);
    const QString l = QStringLiteral("'99'");
    EXPECT_EQ(statementText(script[13], l), QStringLiteral("DELETE FROM SCA_TROCAITEMDEVOLVIDO;"));
    EXPECT_EQ(statementText(script[5], l),
              QStringLiteral("DELETE FROM SCA_CONTACORRENTE WHERE "
                             "((SCA_CONTACORRENTE.CCO_CODIGO_SAIDA IS NOT NULL) OR "
                             "(SCA_CONTACORRENTE.CCO_CODIGO_TROCAMERCADORIAS IS NOT NULL) OR  "
                             "(SCA_CONTACORRENTE.CCO_CODIGO_DEVOLUCAOSAIDA IS NOT NULL))"));
    EXPECT_EQ(
        statementText(script[41], l),
        QStringLiteral(
            "DELETE FROM SCA_ETIQUETAVEICULO_CONTROLE WHERE EVC_CODIGO_ITEMLOCAL IN (SELECT "
            "SCA_ITEMLOCALEMPRESA.ILE_PK_ITEMLOCALEMPRESA FROM SCA_ITEMLOCALEMPRESA     INNER JOIN "
            "SCA_LOCALARMAZENAMENTO ON ILE_CODIGO_LOCALARMAZENAMENTO = LAR_PK_LOCALARMAZENAMENTO   "
            "  "
            "WHERE LAR_CODIGO = '99')"));
    EXPECT_EQ(statementText(script[38], l),
              QStringLiteral(
                  "DELETE FROM SCA_ITEMORCAMENTO WHERE IOR_CODIGO_ORCAMENTO IN (SELECT "
                  "ORC_PK_ORCAMENTO FROM "
                  "SCA_ORCAMENTO WHERE ORC_CODIGO_LOCAL IN (SELECT LAR_PK_LOCALARMAZENAMENTO FROM "
                  "SCA_LOCALARMAZENAMENTO WHERE LAR_CODIGO = '99'))"));
    EXPECT_EQ(statementText(script[61], l),
              QStringLiteral("DELETE FROM SCA_LOCALARMAZENAMENTO WHERE LAR_CODIGO = '99'"));
    int coded = 0;
    for (const ScriptStatement& s : script) coded += s.codes;
    EXPECT_EQ(coded, 13);
}

class LocationRemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.path = tdb.path();
        dialogs.onShow = [&](const ScriptedDialogs::Shown&) {
            controlsEnabledAtMessage = view.controlsEnabled;
        };
    }
    qint64 count(const char* sql) { return probe.count(QString::fromLatin1(sql)); }
    QStringList keys(const char* sql) { return probe.column(QString::fromLatin1(sql)); }

    TestDatabase tdb{fixtureFiles({"schema.sql", "keys.sql", "location-99.sql"})};
    Probe probe{tdb.path()};
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
    bool controlsEnabledAtMessage = true;
};

TEST_F(LocationRemovalTest, RemovesEveryLocation99AndWhatIsBoundToItAndClearsTheMovements) {
    RemoverLocal99(session, dialogs, kRealNoCopy);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(dialogs.messages(), QStringList{kFinalMessage});
    EXPECT_FALSE(controlsEnabledAtMessage);  // shown before the window leaves its operation state
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_EQ(runlog::commands(view.statuses).size(), 62);

    // Nothing named '99' is left, nor anything bound to it; the other locations keep their data.
    EXPECT_EQ(keys("SELECT LAR_PK_LOCALARMAZENAMENTO FROM SCA_LOCALARMAZENAMENTO ORDER BY 1"),
              (QStringList{QStringLiteral("2013"), QStringLiteral("2014")}));
    EXPECT_EQ(keys("SELECT ILE_PK_ITEMLOCALEMPRESA FROM SCA_ITEMLOCALEMPRESA ORDER BY 1"),
              (QStringList{QStringLiteral("2023"), QStringLiteral("2024")}));
    EXPECT_EQ(keys("SELECT SIE_PK_SALDOITEMEMPRESA FROM SCA_SALDOITEMEMPRESA ORDER BY 1"),
              (QStringList{QStringLiteral("2033"), QStringLiteral("2034")}));
    EXPECT_EQ(keys("SELECT ID FROM SCA_HISTORICOSALDOITEM"), QStringList{QStringLiteral("2043")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_SALDOITEMFISICAJURIDICA"),
              QStringList{QStringLiteral("2052")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_ETIQUETAVEICULO_CONTROLE"),
              QStringList{QStringLiteral("2062")});
    EXPECT_EQ(keys("SELECT INV_PK_INVENTARIO FROM SCA_INVENTARIO"),
              QStringList{QStringLiteral("2082")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_ITEMINVENTARIO"), QStringList{QStringLiteral("2086")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_ITEMREQUISICAO"), QStringList{QStringLiteral("2096")});
    EXPECT_EQ(keys("SELECT REQ_PK_REQUISICAO FROM SCA_REQUISICAO"),
              QStringList{QStringLiteral("2092")});
    EXPECT_EQ(keys("SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO ORDER BY 1"),
              (QStringList{QStringLiteral("2072"), QStringLiteral("2076")}));

    // Whole-database statements: sales and all that hangs on them, 'PVE' quotes, 'P' pre-sales and
    // series 'P' invoices go; what they do not name stays, unlinked.
    for (const char* table :
         {"SCA_SAIDA", "SCA_ITEMSAIDA", "SCA_COMISSAOVENDITEMSAIDA", "SCA_TROCADEMERCADORIA",
          "SCA_TROCAITEMENVIADO", "SCA_ORDEMEXPEDICAO", "SCA_DEVOLUCAOSAIDA", "SCA_HISTORICOPLACA",
          "SCA_ITENSMAPACOMISSAO", "SCA_MULTIPLOSCARTOES"})
        EXPECT_EQ(probe.count(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(keys("SELECT CRE_PK_CONTAARECEBER FROM SCA_CONTAARECEBER"),
              QStringList{QStringLiteral("2404")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_CONTACORRENTE"), QStringList{QStringLiteral("2454")});
    EXPECT_EQ(keys("SELECT CEN_PK_CONTROLEENTREGA FROM SCA_CONTROLEENTREGA"),
              QStringList{QStringLiteral("2253")});
    EXPECT_EQ(keys("SELECT ID FROM SCA_ITEMGASTOVENDA"), QStringList{QStringLiteral("2232")});
    EXPECT_EQ(keys("SELECT ORC_PK_ORCAMENTO FROM SCA_ORCAMENTO"),
              QStringList{QStringLiteral("2103")});
    EXPECT_EQ(keys("SELECT PVE_PK_PREVENDA FROM SCA_PREVENDA"),
              QStringList{QStringLiteral("2122")});
    EXPECT_EQ(keys("SELECT NFE_PK_NOTAFISCALENTRADA FROM SCA_NOTAFISCALENTRADA"),
              QStringList{QStringLiteral("2502")});
    EXPECT_EQ(keys("SELECT CPA_PK_CONTAAPAGAR FROM SCA_CONTAAPAGAR"),
              QStringList{QStringLiteral("2532")});
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_NOTAFISCALSAIDA WHERE NFS_CODIGO_SAIDA IS NULL AND "
                    "NFS_CODIGO_ORCAMENTO IS NULL"),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_CUPOMFISCAL WHERE CUP_CODIGO_SAIDA IS NULL AND "
                    "CUP_CODIGO_ORCAMENTO "
                    "IS NULL AND CUP_CODIGO_PREVENDA IS NULL"),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_SERIENOTAFISCAL"), 2);
}

TEST_F(LocationRemovalTest, WithoutLocation99NothingIsTouchedAndTheErrorComesAfterTheFrame) {
    probe.exec(QStringLiteral(
        "UPDATE SCA_LOCALARMAZENAMENTO SET LAR_CODIGO = '98' WHERE LAR_CODIGO = '99'"));
    try {
        RemoverLocal99(session, dialogs, kRealNoCopy);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Não existem locais \"99\" registrados no banco de dados"));
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
        EXPECT_TRUE(view.controlsEnabled);
    }
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_SAIDA"), 2);
}

TEST_F(LocationRemovalTest, AMissingTableFailsItsStatementsOnlyAndTheFinalMessageStillShows) {
    probe.exec(QStringLiteral("DROP TABLE SCA_ITEMHISTORICOPLACA"));
    RemoverLocal99(session, dialogs, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(QStringLiteral(
        "Falha na execução do Comando:\r\nDELETE FROM SCA_ITEMHISTORICOPLACA;\r\n")));
    EXPECT_EQ(dialogs.messages(), QStringList{kFinalMessage});
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_LOCALARMAZENAMENTO"), 2);
}

TEST_F(LocationRemovalTest, AWrongPathLogsOnlyTheConnectionFailure) {
    view.path = tdb.path() + QStringLiteral(".nao");
    RemoverLocal99(session, dialogs, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexao()));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

}  // namespace
