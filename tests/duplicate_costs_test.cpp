// Thinning out the net-cost history: which rows a group's pass reaches, what stays, and how an
// error of the database ends the cleanup run.
#include <gtest/gtest.h>

#include "cleanup/CleanupRun.h"
#include "cleanup/DuplicateCosts.h"
#include "frame/Session.h"
#include "support/CatalogueMarks.h"
#include "support/CleanupRig.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

class DuplicateCostsTest : public ::testing::Test, protected CleanupRig {
protected:
    DuplicateCostsTest()
        : CleanupRig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-docs.sql"})) {}

    void removeDuplicates() {
        session.runOperation(falhaConexaoLimpeza(), [&] {
            ASSERT_TRUE(session.prepareChanges(kRealNoCopy));
            session.DB_GERAL.requests() = {};
            RemoverCustosDuplicados(session);
            requests = session.DB_GERAL.requests();
        });
    }
    qint64 remaining(int from, int to) {
        return probe.count(QStringLiteral("SELECT COUNT(*) FROM SCA_HISTORICOCUSTOLIQUIDO WHERE "
                                          "HCL_PK_HISTORICOCUSTOLIQUIDO BETWEEN %1 AND %2")
                               .arg(from)
                               .arg(to));
    }

    RequestCounts requests;
};

TEST_F(DuplicateCostsTest, EachMatchedSetKeepsOneRowAndUnmatchableGroupsKeepAll) {
    const struct {
        const char* rows;
        int from, to;
        qint64 left;
    } cases[] = {
        {"three rows, same item-location, date and grade-price 5", 101, 103, 1},
        {"grade-price 6 on item-locations 10 and 11, with a time of day", 111, 113, 1},
        {"no grade-price: the pass by item-location also takes grade-price 7", 121, 123, 1},
        {"negative grade-price: the pass by item-location also takes grade-price 3", 126, 128, 1},
        {"no date", 131, 132, 2},
        {"no item-location, grade-price 0", 141, 142, 2},
        {"two groups on one grade-price: the second finds one row left", 151, 154, 1},
        {"no repeated combination", 161, 163, 3},
        {"unique rows carrying links", 181, 183, 3},
    };
    removeDuplicates();
    for (const auto& c : cases) EXPECT_EQ(remaining(c.from, c.to), c.left) << c.rows;
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(view.statuses, QStringList{QStringLiteral("Fim de Processamento...")});
    EXPECT_EQ(view.refreshes, 1);
    // One group query and one pass per group (eight groups); k-1 deletes per matched set of k.
    EXPECT_EQ(requests.queries, 9);
    EXPECT_EQ(requests.statements, 2 + 2 + 2 + 2 + 3);
    EXPECT_EQ(requests.commits, 0);
}

TEST_F(DuplicateCostsTest, WithoutARepeatedCombinationOnlyTheGroupQueryRuns) {
    probe.exec(QStringLiteral(
        "DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_PK_HISTORICOCUSTOLIQUIDO < 160"));
    removeDuplicates();
    EXPECT_EQ(requests.queries, 1);
    EXPECT_EQ(requests.statements, 0);
    EXPECT_EQ(remaining(100, 199), 6);
}

TEST_F(DuplicateCostsTest, ARowThatADeleteCannotRemoveDoesNotHoldTheOperation) {
    // The trigger puts every deleted row of the first set straight back.
    probe.exec(QStringLiteral(
        "CREATE TRIGGER MANTEM_CUSTO FOR SCA_HISTORICOCUSTOLIQUIDO AFTER DELETE AS BEGIN "
        "IF (OLD.HCL_CODIGO_ITEMLOCAL = 10 AND OLD.HCL_DT_INCLUSAO = '2019-03-07') THEN "
        "INSERT INTO SCA_HISTORICOCUSTOLIQUIDO (HCL_PK_HISTORICOCUSTOLIQUIDO, "
        "HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, "
        "HCL_CODIGO_GRADEPRECO, HCL_CODIGO_LOCAL) VALUES (OLD.HCL_PK_HISTORICOCUSTOLIQUIDO, "
        "OLD.HCL_CODIGO_ITEMLOCAL, "
        "OLD.HCL_DT_INCLUSAO, OLD.HCL_CODIGO_GRADEPRECO, OLD.HCL_CODIGO_LOCAL); END"));
    removeDuplicates();
    EXPECT_EQ(remaining(101, 103), 3);
    EXPECT_EQ(remaining(151, 154), 1);  // the later groups went on
}

TEST_F(DuplicateCostsTest, ADeleteRefusedByAReferenceEndsTheRunAfterItsFrameCommitted) {
    probe.exec(
        QStringLiteral("CREATE TABLE BLOQUEIO (ID INTEGER REFERENCES SCA_HISTORICOCUSTOLIQUIDO)"));
    for (int key : {151, 152, 153, 154})
        probe.exec(QStringLiteral("INSERT INTO BLOQUEIO VALUES (%1)").arg(key));
    markOnly(catalogue, DatabaseKind::Vornix, {QStringLiteral("SCA_NOTAFISCALSAIDA")});
    try {
        LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
        FAIL() << "the run ended normally";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("BLOQUEIO"))) << e.message().toStdString();
    }
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    // Groups before the refused one (the server groups in ascending item-location) stay thinned.
    EXPECT_EQ(remaining(101, 103), 1);
    EXPECT_EQ(remaining(121, 123), 1);
    EXPECT_EQ(remaining(151, 154), 4);
    EXPECT_EQ(probe.count(QStringLiteral("SCA_NOTAFISCALSAIDA")),
              3);  // the invoice block never ran
}

}  // namespace
