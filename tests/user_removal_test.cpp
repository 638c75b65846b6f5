// Removing one user: the code typed, the generic user, the seven statements.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "removals/User.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "support/WindowFixture.h"

namespace {

TEST(RemoveUserCode, ConvertsOnlySigned32BitDecimals) {
    const struct {
        const char* typed;
        bool valid;
        int value;
    } cases[] = {
        {"42", true, 42},
        {" 42 ", true, 42},
        {"-7", true, -7},
        {"+3", true, 3},
        {"0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},
        {"abc", false, 0},
        {"4 2", false, 0},
        {"99999999999", false, 0},
        {"2147483648", false, 0},
        {"1.5", false, 0},
        {"$1A", false, 0},
        {"0x10", false, 0},
        {"١٢", false, 0},
        {"1 OR 1=1", false, 0},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        if (c.valid) {
            EXPECT_EQ(converterCodigoUsuario(typed), c.value) << c.typed;
        } else {
            try {
                converterCodigoUsuario(typed);
                ADD_FAILURE() << "accepted " << c.typed;
            } catch (const AppError& e) {
                EXPECT_EQ(e.message(),
                          QStringLiteral("''%1'' is not a valid integer value").arg(typed));
            }
        }
    }
    EXPECT_EQ(confirmacaoUsuario(-12),
              QStringLiteral("Confirma a exclusão do usuário -12 do banco de dados ?"));
}

class RemoveUserTest : public ::testing::Test {
protected:
    void SetUp() override { view.path = tdb.path(); }
    QStringList column(const char* sql) { return probe.column(QString::fromLatin1(sql)); }

    TestDatabase tdb{fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"})};
    Probe probe{tdb.path()};
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
};

TEST_F(RemoveUserTest, RemovesTheUserAndItsLinksAndHandsItsCustomersToTheGenericUser) {
    RemoverUsuario(session, 3002, kRealNoCopy);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(
        runlog::commands(view.statuses),
        (QStringList{
            QStringLiteral("DELETE FROM SCA_SENHASISTEMA WHERE SEN_CODIGO_SENHA = 3002"),
            QStringLiteral("DELETE FROM SCA_SENHAESTABELECIMENTO WHERE SEN_CODIGO_SENHA = 3002"),
            QStringLiteral("DELETE FROM SCA_SENHAEMPRESA WHERE SEN_CODIGO_SENHA = 3002"),
            QStringLiteral("DELETE FROM SCA_MAPASENHA WHERE MSE_CODIGO_SENHA = 3002"),
            QStringLiteral(
                "UPDATE SCA_CLIENTE SET CLI_CODIGO_USUARIO = 3001 WHERE CLI_CODIGO_USUARIO = 3002"),
            QStringLiteral(
                "DELETE FROM SCA_CONTABANCARIAPORUSUARIO WHERE CBU_CODIGOUSUARIO = 3002"),
            QStringLiteral("DELETE FROM SCA_SENHA WHERE SEN_CODIGO = 3002")}));
    EXPECT_EQ(column("SELECT SEN_CODIGO FROM SCA_SENHA ORDER BY 1"),
              (QStringList{QStringLiteral("3001"), QStringLiteral("3003")}));
    EXPECT_EQ(
        column("SELECT ID || ':' || COALESCE(CLI_CODIGO_USUARIO, 0) FROM SCA_CLIENTE ORDER BY ID"),
        (QStringList{QStringLiteral("3061:3001"), QStringLiteral("3062:3001"),
                     QStringLiteral("3063:3003"), QStringLiteral("3064:0")}));
    for (const char* t : {"SCA_SENHASISTEMA", "SCA_SENHAESTABELECIMENTO", "SCA_SENHAEMPRESA"})
        EXPECT_EQ(
            probe.count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SEN_CODIGO_SENHA = 3002")
                            .arg(QLatin1String(t))),
            0);
    EXPECT_EQ(probe.count(QStringLiteral("SCA_MAPASENHA")), 1);
}

TEST_F(RemoveUserTest, CodesBelowOneAreRefusedBeforeAnythingElse) {
    view.log << QStringLiteral("entrada anterior");
    for (int code : {0, -5}) {
        try {
            RemoverUsuario(session, code, kRealNoCopy);
            FAIL() << code;
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("O código do usuário deve ser informado"));
        }
    }
    EXPECT_TRUE(view.events.isEmpty());  // never connected, the window never left its idle state
    EXPECT_EQ(runlog::body(view.log), QStringList{QStringLiteral("entrada anterior")});
}

TEST_F(RemoveUserTest, WithoutAGenericUserNothingChanges) {
    probe.exec(
        QStringLiteral("UPDATE SCA_SENHA SET SEN_NOME = 'GENERICA' WHERE SEN_CODIGO = 3001"));
    try {
        RemoverUsuario(session, 3002, kRealNoCopy);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Usuário genérico não encontrado no banco de dados."));
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    }
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(probe.count(QStringLiteral("SCA_SENHA")), 3);
}

TEST_F(RemoveUserTest, AFailingFinalDeleteLeavesTheUserWithoutItsLinks) {
    probe.exec(QStringLiteral("CREATE TABLE REFERENCIA (ID INTEGER REFERENCES SCA_SENHA)"));
    probe.exec(QStringLiteral("INSERT INTO REFERENCIA VALUES (3002)"));
    RemoverUsuario(session, 3002, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 1);
    EXPECT_TRUE(runlog::body(view.log)[0].startsWith(QStringLiteral(
        "Falha na execução do Comando:\r\nDELETE FROM SCA_SENHA WHERE SEN_CODIGO = 3002\r\n")));
    EXPECT_EQ(probe.count(QStringLiteral("SELECT COUNT(*) FROM SCA_SENHA WHERE SEN_CODIGO = 3002")),
              1);
    EXPECT_EQ(probe.count(QStringLiteral(
                  "SELECT COUNT(*) FROM SCA_SENHASISTEMA WHERE SEN_CODIGO_SENHA = 3002")),
              0);
    EXPECT_EQ(probe.count(QStringLiteral(
                  "SELECT COUNT(*) FROM SCA_CLIENTE WHERE CLI_CODIGO_USUARIO = 3001")),
              2);
}

TEST_F(RemoveUserTest, TheGenericUsersOwnCodeAndSeveralGenericRows) {
    probe.exec(
        QStringLiteral("INSERT INTO SCA_SENHA (SEN_CODIGO, SEN_NOME) VALUES (3000, 'GENERICO')"));
    RemoverUsuario(session, 3003, kRealNoCopy);
    // The first row the lookup returns decides; with no order asked for, that is the server's.
    const QString generic = runlog::commands(view.statuses)[4].section(QLatin1Char(' '), 5, 5);
    EXPECT_TRUE(generic == QLatin1String("3000") || generic == QLatin1String("3001"))
        << generic.toStdString();
    view.statuses.clear();
    RemoverUsuario(session, 3001, kRealNoCopy);
    EXPECT_TRUE(runlog::commands(view.statuses)[4].startsWith(
        QStringLiteral("UPDATE SCA_CLIENTE SET CLI_CODIGO_USUARIO = ")));
}

class RemoveUserWindowTest : public WindowTest {};

TEST_F(RemoveUserWindowTest, AnswersThatAreNotIntegersShowTheConversionErrorAndNothingElse) {
    // "Cancelar" gives the empty text: four single quotes in a row.
    dialogs.inputAnswers = {QString()};
    click("btn_Remover_Usuario");
    EXPECT_EQ(dialogs.errors(), QStringList{QStringLiteral("'''' is not a valid integer value.")});
    for (const char* typed : {"abc", "99999999999"}) {
        dialogs.shown.clear();
        dialogs.inputAnswers = {QString::fromLatin1(typed)};
        click("btn_Remover_Usuario");
        ASSERT_EQ(dialogs.shown.size(), 2) << typed;
        EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Exclusão de dados"));
        EXPECT_EQ(dialogs.shown[0].text,
                  QStringLiteral("Informe o código do usuário a ser excluído do banco de dados"));
        EXPECT_EQ(
            dialogs.errors(),
            QStringList{
                QStringLiteral("''%1'' is not a valid integer value.").arg(QLatin1String(typed))});
    }
}

TEST_F(RemoveUserWindowTest, ConfirmedCodeRunsTheRemovalAndNoDoesNothing) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    Probe probe(tdb.path());
    path()->setText(tdb.path());
    dialogs.inputAnswers = {QStringLiteral("3003"), QStringLiteral("3003")};
    dialogs.confirmAnswers = {false, true};
    click("btn_Remover_Usuario");
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("Confirma a exclusão do usuário 3003 do banco de dados ?"));
    EXPECT_EQ(probe.count(QStringLiteral("SCA_SENHA")), 3);
    click("btn_Remover_Usuario");
    EXPECT_EQ(probe.count(QStringLiteral("SCA_SENHA")), 2);
    EXPECT_TRUE(dialogs.errors().isEmpty());

    dialogs.shown.clear();
    dialogs.inputAnswers = {QStringLiteral("0")};
    dialogs.confirmAnswers = {true};
    click("btn_Remover_Usuario");
    EXPECT_EQ(dialogs.errors(),
              QStringList{QStringLiteral("O código do usuário deve ser informado.")});
}

}  // namespace
