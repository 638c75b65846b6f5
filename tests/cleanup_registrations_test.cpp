// The ERP plan from the customers to the control tables: "or" conditions, and the requisition
// block's removal of duplicated cost history.
#include <gtest/gtest.h>

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

class CleanupRegistrationsTest : public ::testing::Test, protected CleanupRig {
protected:
    CleanupRegistrationsTest()
        : CleanupRig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-docs.sql"})) {}
    void runWith(const QStringList& marked) {
        markOnly(catalogue, DatabaseKind::Vornix, marked);
        LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    }
    void costRow(int key, const char* master, const char* itemLocation, const char* date,
                 const char* itemRequisition) {
        probe.exec(
            QStringLiteral("INSERT INTO SCA_HISTORICOCUSTOLIQUIDO (HCL_PK_HISTORICOCUSTOLIQUIDO, "
                           "HCL_CODIGO_EMPRESA_MASTER, HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, "
                           "HCL_CODIGO_ITEMREQUISICAO) VALUES (%1, %2, %3, %4, %5)")
                .arg(key)
                .arg(QLatin1String(master), QLatin1String(itemLocation), QLatin1String(date),
                     QLatin1String(itemRequisition)));
    }
    QStringList remainingCosts() {
        return probe.column(
            QStringLiteral("SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO "
                           "ORDER BY HCL_PK_HISTORICOCUSTOLIQUIDO"));
    }
};

const QStringList kRequisitionPurges{
    QStringLiteral("SCA_GRADEMATPRIMAITEMREQUISICAO"), QStringLiteral("SCA_MATPRIMAITEMREQUISICAO"),
    QStringLiteral("SCA_GRADEITEMREQUISICAO"), QStringLiteral("SCA_ITEMREQUISICAO"),
    QStringLiteral("SCA_REQUISICAO")};
const QStringList kRequisitionUnlinking{
    QStringLiteral("UPDATE SCA_HISTORICOCUSTOLIQUIDO SET HCL_CODIGO_REQUISICAO = NULL WHERE "
                   "HCL_CODIGO_REQUISICAO IS "
                   "NOT NULL;"),
    QStringLiteral("UPDATE SCA_HISTORICOCUSTOLIQUIDO SET HCL_CODIGO_ITEMREQUISICAO = NULL WHERE "
                   "HCL_CODIGO_ITEMREQUISICAO IS NOT NULL;")};

TEST_F(CleanupRegistrationsTest, OccurrencesAloneArePurgedAndTheCustomersStay) {
    runWith({QStringLiteral("SCA_OCORRENCIAS")});
    EXPECT_EQ(lines(runlog::body(view.log)),
              lines({QStringLiteral("SCA_OCORRENCIAS ( 3 )"), kSeparator}));
    EXPECT_EQ(view.statuses.first(),
              QStringLiteral(
                  "Ocorrência dos Clientes - SCA_OCORRENCIAS (Generator: GEN_SCE_PK_OCORRENCIA)"));
    EXPECT_EQ(count("SCA_CLIENTE"), 3);
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM SCA_CLIENTE WHERE CLI_CODIGO_CLIENTE_AOSCUIDADOS IS NOT NULL"),
        2);
    EXPECT_EQ(count("SCA_TABELAPRECOITEMEMPRESA"), 3);
}

TEST_F(CleanupRegistrationsTest, CustomersTakeTheOccurrencesUnderTheirOwnDescription) {
    runWith({QStringLiteral("SCA_CLIENTE"), QStringLiteral("SCA_OCORRENCIAS")});
    EXPECT_EQ(lines(failures(view.log)), "");
    EXPECT_EQ(view.statuses.first(),
              QStringLiteral("Clientes - SCA_OCORRENCIAS (Generator: GEN_SCE_PK_OCORRENCIA)"));
    EXPECT_EQ(purgedTables(view.log).size(), 16);
    EXPECT_EQ(count("SCA_CLIENTE"), 0);
    // The price and markup rows of customers went with the statement steps, the others stay.
    EXPECT_EQ(count("SCA_TABELAPRECOITEMEMPRESA"), 1);
    EXPECT_EQ(count("SCA_MARKUPITEMEMP"), 1);
    EXPECT_EQ(
        count(
            "SELECT COUNT(*) FROM SCA_CONFIGURACAO WHERE CON_UGE_RIROZU_CODIGOCLIENTE IS NOT NULL"),
        0);
    EXPECT_EQ(count("SCA_CONVENIOCLIENTE"), 3);
}

TEST_F(CleanupRegistrationsTest, SubgroupsAloneTakeTheirLinkTableButNotTheGroups) {
    runWith({QStringLiteral("SCA_SUBGRUPO")});
    EXPECT_EQ(lines(runlog::body(view.log)),
              lines({QStringLiteral("SCA_SUBGRUPOXGRUPO ( 3 )"), kSeparator,
                     QStringLiteral("SCA_SUBGRUPO ( 3 )"), kSeparator}));
    EXPECT_EQ(lines(view.statuses),
              lines({QStringLiteral("Sub Grupo de Produtos - SCA_SUBGRUPOXGRUPO"),
                     QStringLiteral("Sub Grupo de Produtos - SCA_SUBGRUPO (Generator: "
                                    "GEN_SGR_PK_SUBGRUPO)"),
                     QStringLiteral("Fim de Processamento...")}));
    EXPECT_EQ(count("SCA_GRUPOPRODUTOS"), 3);
}

TEST_F(CleanupRegistrationsTest, RequisitionsWithoutDuplicatedHistoryLogOnlyTheirFivePurges) {
    // The two undated copies are the fixture's only duplicates by the requisition step's columns.
    probe.exec(
        QStringLiteral("DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_DT_INCLUSAO IS NULL"));
    const qint64 costs = count("SCA_HISTORICOCUSTOLIQUIDO");
    runWith({QStringLiteral("SCA_REQUISICAO")});
    EXPECT_EQ(lines(purgedTables(view.log)), lines(kRequisitionPurges));
    EXPECT_EQ(runlog::body(view.log).size(), 10);
    EXPECT_EQ(lines(commands(view.statuses)), lines(kRequisitionUnlinking));
    EXPECT_EQ(count("SCA_HISTORICOCUSTOLIQUIDO"), costs);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_REQUISICAO IS "
                    "NOT NULL OR "
                    "HCL_CODIGO_ITEMREQUISICAO IS NOT NULL"),
              0);
}

TEST_F(CleanupRegistrationsTest,
       DuplicatedRequisitionHistoryIsDeletedGroupByGroupBeforeTheUnlinking) {
    probe.exec(QStringLiteral("DELETE FROM SCA_HISTORICOCUSTOLIQUIDO"));
    // Group 1: two copies on item-location 70. Every requisition row of that item-location and
    // date goes, also row 3, which is not a copy; row 4 has no requisition item and stays.
    costRow(1, "1", "70", "'2021-02-03'", "101");
    costRow(2, "1", "70", "'2021-02-03'", "101");
    costRow(3, "9", "70", "'2021-02-03'", "102");
    costRow(4, "1", "70", "'2021-02-03 00:00:00'", "NULL");
    costRow(5, "1", "70", "'2021-02-04'", "101");
    // Group 2: no item-location. Its statement is refused and logged; the loop goes on.
    costRow(6, "2", "NULL", "'2021-02-03'", "101");
    costRow(7, "2", "NULL", "'2021-02-03'", "101");
    // Group 3: no date. Its statement names the date that stands for none and deletes nothing.
    costRow(8, "3", "71", "NULL", "103");
    costRow(9, "3", "71", "NULL", "103");
    // The server returns the groups in the order of their grouping columns, first of all the
    // master company code.
    ASSERT_EQ(
        probe.column(QStringLiteral(
            "SELECT HCL_CODIGO_EMPRESA_MASTER FROM (SELECT HCL_CODIGO_EMPRESA_MASTER, "
            "COUNT(*) AS N FROM SCA_HISTORICOCUSTOLIQUIDO GROUP BY HCL_CODIGO_EMPRESA_MASTER, "
            "HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO) WHERE N > 1")),
        (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));

    runWith({QStringLiteral("SCA_REQUISICAO")});

    const QString nullItemLocation = QStringLiteral(
        "DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_ITEMLOCAL =  AND HCL_DT_INCLUSAO = "
        "'2021-02-03' AND "
        "HCL_CODIGO_ITEMREQUISICAO IS NOT NULL");
    EXPECT_EQ(
        lines(commands(view.statuses)),
        lines(QStringList{
                  QStringLiteral(
                      "DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_ITEMLOCAL = 70 AND "
                      "HCL_DT_INCLUSAO = '2021-02-03' AND HCL_CODIGO_ITEMREQUISICAO IS NOT NULL"),
                  nullItemLocation,
                  QStringLiteral(
                      "DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_ITEMLOCAL = 71 AND "
                      "HCL_DT_INCLUSAO = '1899-12-30' AND HCL_CODIGO_ITEMREQUISICAO IS NOT NULL")} +
              kRequisitionUnlinking));
    const QStringList failed = failures(view.log);
    ASSERT_EQ(failed.size(), 1) << lines(failed);
    EXPECT_TRUE(failed[0].startsWith(QStringLiteral("Falha na execução do Comando:\r\n") +
                                     nullItemLocation + QStringLiteral("\r\n")))
        << lines(failed);
    EXPECT_EQ(runlog::body(view.log).first(), failed[0]);  // before the purges
    EXPECT_EQ(lines(purgedTables(view.log)), lines(kRequisitionPurges));
    EXPECT_EQ(lines(remainingCosts()),
              lines({QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                     QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")}));
}

TEST_F(CleanupRegistrationsTest, AFailingDuplicateQueryEndsTheRunAndTheEndStillCommits) {
    probe.exec(QStringLiteral(
        "ALTER TABLE SCA_HISTORICOCUSTOLIQUIDO DROP HCL_CODIGO_PRODUCAOENVASEITENS"));
    // The sales block ends with a statement after its last purge: only the run's end commits it.
    try {
        runWith({QStringLiteral("SCA_SAIDA"), QStringLiteral("SCA_REQUISICAO"),
                 QStringLiteral("SCA_REDUCAOZ")});
        FAIL() << "the run ended normally";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("HCL_CODIGO_PRODUCAOENVASEITENS")))
            << e.message().toStdString();
    }
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_EQ(lines(failures(view.log)), "");
    EXPECT_EQ(purgedTables(view.log).size(), 6);  // the sales block alone
    EXPECT_EQ(
        probe
            .scalar(QStringLiteral(
                "SELECT CPR_CHAVE FROM SCA_CHAVEPRIMARIA WHERE CPR_NOME_TABELA = 'SCA_SAIDA'"))
            .toInt(),
        1);
    EXPECT_EQ(count("SCA_REQUISICAO"), 3);
    EXPECT_EQ(count("SCA_REDUCAOZ"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_REQUISICAO IS "
                    "NOT NULL"),
              2);
}

}  // namespace
