// Removing one establishment: the code asked for, the link-breaking pass and the delete script.
#include <gtest/gtest.h>

#include <QSet>

#include "base/Error.h"
#include "removals/Establishment.h"
#include "support/FakeView.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "support/WindowFixture.h"

namespace {

TEST(RemoveEstablishmentScript, HasItsStatementsInOrderWithTheCodeAsTyped) {
    const auto links = establishmentLinks();
    const auto script = establishmentScript();
    ASSERT_EQ(links.size(), 42u);
    ASSERT_EQ(script.size(), 214u);
    const QString code = QStringLiteral(" 12 ");
    EXPECT_EQ(statementText(links[0], code),
              QStringLiteral("UPDATE SCA_CONTAARECEBER SET CRE_CODIGO_PAGTOANTECIPADO = NULL WHERE "
                             "CRE_CODIGO_PAGTOANTECIPADO IN "
                             "(SELECT PAN_PK_PAGTOANTECIPADO FROM SCA_PAGTOANTECIPADO WHERE "
                             "PAN_CODIGO_EMPRESA =  12 )"));
    EXPECT_EQ(statementText(links[13], QStringLiteral("7")),
              QStringLiteral(
                  "UPDATE SCA_CONFIGURACAO SET CON_SGF_BAIXA_CENTRO_CUSTO  = NULL WHERE "
                  "CON_SGF_BAIXA_CENTRO_CUSTO IN "
                  "(SELECT CCU_PK_CENTROCUSTO FROM SCA_CENTROCUSTO WHERE CCU_CODIGO_EMPRESA = 7)"));
    EXPECT_EQ(
        statementText(links[41], QStringLiteral("7")),
        QStringLiteral(
            "UPDATE SCA_SENHA SET SEN_FATURAMENTO_ESTAB = NULL WHERE SEN_FATURAMENTO_ESTAB = 7"));
    EXPECT_TRUE(statementText(script[29], QStringLiteral("7")).endsWith(QStringLiteral("= 7));")));
    EXPECT_EQ(statementText(script[134], QStringLiteral("7")),
              QStringLiteral("DELETE FROM SCA_GRADEITEMTRANSFERENCIA WHERE "
                             "GIT_CODIGO_TRANSFERENCIA IN (SELECT TRA_PK_TRANSFERENCIA "
                             "FROM SCA_TRANSFERENCIA WHERE ((TRA_CODIGO_EMPRESA_ORIG = 7) OR "
                             "(TRA_CODIGO_EMPRESA_DEST = 7)))"));
    EXPECT_EQ(statementText(script[166], QStringLiteral("7")),
              QStringLiteral("DELETE FROM SCA_CODIGOBARRAS WHERE NOT EXISTS (SELECT DISTINCT "
                             "IEM_CODIGO_ITEM FROM SCA_ITEMEMPRESA "
                             "WHERE IEM_CODIGO_ITEM = CBA_CODIGO_ITEM)"));
    EXPECT_EQ(statementText(script[199], QStringLiteral("7")),
              QStringLiteral("DELETE FROM SCA_NOTIFICA_PDV"));
    EXPECT_EQ(statementText(script[213], QStringLiteral("7")),
              QStringLiteral("DELETE FROM SCA_EMPRESA WHERE EMP_CODIGO = 7"));
    int withoutCode = 0, twice = 0;
    for (const ScriptStatement& s : script) {
        withoutCode += s.codes == 0;
        twice += s.codes == 2;
    }
    EXPECT_EQ(withoutCode, 11);
    EXPECT_EQ(twice, 3);
}

TEST(RemoveEstablishmentScript, AcceptsOnlyAWholeNumberAsTheCode) {
    for (const char* good : {"1", "5001", "  42", "42  ", " 0007 "})
        EXPECT_TRUE(codigoEstabelecimentoValido(QString::fromUtf8(good))) << good;
    for (const char* bad :
         {"", " ", "1 OR 1=1", "1;DELETE FROM SCA_EMPRESA", "-1", "+1", "1.0", "1e3", "12a", "0x1F",
          "١٢", "１２", "1 2", "1\t", "(1)", "1)", "'1'", "1 --"})
        EXPECT_FALSE(codigoEstabelecimentoValido(QString::fromUtf8(bad))) << bad;
}

class RemoveEstablishmentTest : public ::testing::Test {
protected:
    void SetUp() override { view.path = tdb.path(); }
    void remove(const QString& code, bool confirm = true) {
        dialogs.inputAnswers = {code};
        dialogs.confirmAnswers = {confirm};
        RemoverEstabelecimento(session, dialogs);
    }
    QString errorOf(const QString& code, bool confirm = true) {
        try {
            remove(code, confirm);
        } catch (const AppError& e) {
            return e.message();
        }
        return QString();
    }
    qint64 count(const QString& sql) { return probe.count(sql); }

    TestDatabase tdb{fixtureFiles({"schema.sql", "keys.sql", "establishment-removal.sql"})};
    Probe probe{tdb.path()};
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
};

// The tables the script deletes from.
QSet<QString> deleteTargets() {
    QSet<QString> out;
    for (const ScriptStatement& st : establishmentScript())
        out << statementText(st, QStringLiteral("0")).section(QLatin1Char(' '), 2, 2);
    return out;
}

TEST_F(RemoveEstablishmentTest, RemovesTheEstablishmentAndEverythingBoundToItAndNothingOfTheOther) {
    remove(QStringLiteral("5001"));
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    const QStringList commands = runlog::commands(view.statuses);
    ASSERT_EQ(commands.size(), 256);
    EXPECT_TRUE(commands[0].startsWith(
        QStringLiteral("UPDATE SCA_CONTAARECEBER SET CRE_CODIGO_PAGTOANTECIPADO")));
    EXPECT_EQ(commands[41], QStringLiteral("UPDATE SCA_SENHA SET SEN_FATURAMENTO_ESTAB = NULL "
                                           "WHERE SEN_FATURAMENTO_ESTAB = 5001"));
    EXPECT_EQ(commands[255], QStringLiteral("DELETE FROM SCA_EMPRESA WHERE EMP_CODIGO = 5001"));
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral(
                  "Confirma a exclusão do estabelecimento 5001 e toda movimentação vinculada ?"));

    // Every table the fixture filled held one row of each establishment: those the script deletes
    // from keep only the other's, those it only unlinks keep both.
    const QSet<QString> targets = deleteTargets();
    for (const QString& table :
         probe.column(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE "
                                     "RDB$SYSTEM_FLAG = 0 ORDER BY 1"))) {
        const qint64 rows = probe.count(table);
        if (rows == 0 && !targets.contains(table)) continue;  // a table the fixture leaves empty
        if (table == QLatin1String("SCA_NOTIFICA_PDV"))
            EXPECT_EQ(rows, 0) << "cleared for the whole database";
        else if (targets.contains(table))
            EXPECT_EQ(rows, 1) << table.toStdString();
        else
            EXPECT_EQ(rows, 2) << table.toStdString();
    }
    EXPECT_EQ(probe.column(QStringLiteral("SELECT EMP_CODIGO FROM SCA_EMPRESA")),
              QStringList{QStringLiteral("5002")});
    // The other establishment's settings that pointed at this one's rows are cleared, not deleted.
    EXPECT_EQ(
        count(QStringLiteral(
            "SELECT COUNT(*) FROM SCA_EMPRESA WHERE EMP_CODIGO_EMPRESA_PARA_BAIXA IS NULL AND "
            "EMP_SCE_LOCAL_TRANSF_AUTOM IS NULL AND EMP_CCUSTO_ISS_DESPESA IS NULL")),
        1);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM SCA_SENHA WHERE SEN_FATURAMENTO_LOCAL IS NULL")),
        2);
}

TEST_F(RemoveEstablishmentTest, ItemsStillUsedElsewhereKeepTheirRows) {
    probe.exec(QStringLiteral(
        "INSERT INTO SCA_ITEMEMPRESA (IEM_PK_ITEMEMPRESA, IEM_CODIGO_EMPRESA, IEM_CODIGO_ITEM) "
        "VALUES (5003, 5002, 5001)"));
    remove(QStringLiteral("5001"));
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(count(QStringLiteral("SCA_ITEM")), 2);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM SCA_CODIGOBARRAS WHERE CBA_CODIGO_ITEM = 5001")),
        1);
}

TEST_F(RemoveEstablishmentTest, RefusalsChangeNothingAndComeAfterTheFrame) {
    const QString before =
        probe.scalar(QStringLiteral("SELECT COUNT(*) FROM SCA_NOTIFICA_PDV")).toString();
    const struct {
        const char* typed;
        bool confirm;
        const char* error;
        int dialogs;
    } cases[] = {
        {"9999", true, "O estabelecimento informado não existe", 1},
        {"5001", false, "Operação Cancelada", 2},
        {"", true, "Código de estabelecimento inválido: informe apenas números", 1},
        {"5001 OR 1=1", true, "Código de estabelecimento inválido: informe apenas números", 1},
        {"5001; DELETE FROM SCA_EMPRESA", true,
         "Código de estabelecimento inválido: informe apenas números", 1},
        {"-5001", true, "Código de estabelecimento inválido: informe apenas números", 1},
        {"５００１", true, "Código de estabelecimento inválido: informe apenas números", 1},
    };
    for (const auto& c : cases) {
        dialogs.shown.clear();
        EXPECT_EQ(errorOf(QString::fromUtf8(c.typed), c.confirm), QString::fromUtf8(c.error))
            << c.typed;
        EXPECT_EQ(dialogs.shown.size(), c.dialogs) << c.typed;
        EXPECT_TRUE(runlog::body(view.log).isEmpty());
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
        EXPECT_TRUE(view.controlsEnabled);
    }
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Exclusão de dados"));
    EXPECT_EQ(
        dialogs.shown[0].text,
        QStringLiteral("Informe o código do estabelecimento a ser excluído do banco de dados"));
    EXPECT_EQ(count(QStringLiteral("SCA_EMPRESA")), 2);
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM SCA_NOTIFICA_PDV")).toString(),
              before);
    EXPECT_EQ(runlog::commands(view.statuses).size(), 0);
}

TEST_F(RemoveEstablishmentTest, BlanksAroundTheCodeAreCarriedIntoTheStatements) {
    remove(QStringLiteral(" 5001 "));
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(runlog::commands(view.statuses).last(),
              QStringLiteral("DELETE FROM SCA_EMPRESA WHERE EMP_CODIGO =  5001 "));
    EXPECT_EQ(count(QStringLiteral("SCA_EMPRESA")), 1);
}

TEST_F(RemoveEstablishmentTest, AMissingTableFailsOnlyItsStatementsAndASecondRunFindsNothing) {
    probe.exec(
        QStringLiteral("DROP TABLE SCA_SINTEGRAPDV"));  // nothing in the fixture refers to it
    remove(QStringLiteral("5001"));
    ASSERT_EQ(runlog::body(view.log).size(), 1) << runlog::lines(view.log);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(
        QStringLiteral("Falha na execução do Comando:\r\nDELETE FROM SCA_SINTEGRAPDV WHERE "
                       "SIP_CODIGO_EMPRESA = 5001\r\n")));
    EXPECT_EQ(count(QStringLiteral("SCA_EMPRESA")), 1);
    EXPECT_EQ(errorOf(QStringLiteral("5001")),
              QStringLiteral("O estabelecimento informado não existe"));
}

TEST_F(RemoveEstablishmentTest, AWrongPathLogsOnlyTheConnectionFailureAndAsksNothing) {
    view.path = tdb.path() + QStringLiteral(".nao");
    remove(QStringLiteral("5001"));
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexao()));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
}

class RemoveEstablishmentWindowTest : public WindowTest {};

TEST_F(RemoveEstablishmentWindowTest, AsksInsideTheOperationAndShowsRefusalsAfterIt) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "establishment-removal.sql"}));
    Probe probe(tdb.path());
    path()->setText(tdb.path());
    QList<bool> enabledWhileAsking;
    dialogs.onShow = [&](const ScriptedDialogs::Shown& shown) {
        if (shown.kind != QLatin1String("error"))
            enabledWhileAsking << button("btnIniciar")->isEnabled();
    };
    dialogs.inputAnswers = {QStringLiteral("5001")};
    dialogs.confirmAnswers = {false};
    click("btn_Remover_Estabelecimento_Vornix");
    EXPECT_EQ(enabledWhileAsking, (QList<bool>{false, false}));  // connected before asking
    EXPECT_EQ(dialogs.errors(), QStringList{QStringLiteral("Operação Cancelada.")});
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
    EXPECT_EQ(probe.count(QStringLiteral("SCA_EMPRESA")), 2);

    dialogs.shown.clear();
    dialogs.inputAnswers = {QStringLiteral("5001")};
    dialogs.confirmAnswers = {true};
    click("btn_Remover_Estabelecimento_Vornix");
    EXPECT_TRUE(dialogs.errors().isEmpty());
    EXPECT_TRUE(runlog::body(window.logEntries()).isEmpty());
    EXPECT_EQ(probe.count(QStringLiteral("SCA_EMPRESA")), 1);
}

}  // namespace
