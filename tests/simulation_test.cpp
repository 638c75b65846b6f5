// Simulations through the real window: the same statements, the exact log of the real run that
// follows, and a database left as it was whatever happens on the way.
#include <QRegularExpression>

#include "frame/RunReport.h"
#include "support/OperationWindow.h"
#include "support/RunLog.h"
#include "support/Snapshot.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

namespace {

// What the real run will log: the simulation's lines without its own.
QStringList predicted(const QStringList& simulated) {
    QStringList out;
    for (const QString& e : runlog::body(simulated))
        if (!e.startsWith(QStringLiteral("Simulação: "))) out << e;
    return out;
}

// The figures of a summary: what was done, rows, failures.
QStringList figures(const QString& summary) {
    QStringList out;
    static const QRegularExpression number(QStringLiteral("\\d[\\d.]*"));
    for (const auto& m : number.globalMatch(summary.section(QStringLiteral("; duração"), 0, 0)))
        out << m.captured();
    return out;
}

using SimulationTest = OperationWindowTest;

TEST_F(SimulationTest, EachOperationChangesNothingAndPredictsTheRealRunsLogLineForLine) {
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        TestDatabase tdb(op.fixtures);
        Probe probe(tdb.path());
        path()->setText(tdb.path());
        const auto before = snapshot(probe);

        const QStringList earlier = window.logEntries();
        if (QLatin1String(op.name) != QLatin1String("establishment")) {  // it asks once connected
            run(op, RunAnswer{});                                        // "Não" does nothing
            EXPECT_EQ(window.logEntries(), earlier);
            EXPECT_TRUE(dialogs.errors().isEmpty());
        }

        run(op, kSimulate);
        const QStringList simulated = window.logEntries();
        ASSERT_GE(simulated.size(), 2);
        EXPECT_EQ(simulated.first(), simulationHeader());
        EXPECT_TRUE(simulated.last().startsWith(QStringLiteral("Resumo da simulação: ")));
        EXPECT_TRUE(
            simulated.last().endsWith(QStringLiteral("Nada foi gravado no banco de dados.")));
        EXPECT_TRUE(dialogs.errors().isEmpty()) << dialogs.errors().join(u'\n').toStdString();
        EXPECT_TRUE(dialogs.messages().isEmpty());  // a notice about changes is a log line here
        EXPECT_EQ(window.statusText(), QStringLiteral("Fim de Processamento..."));
        EXPECT_EQ(snapshot(probe), before);

        run(op, kRun);
        const QStringList real = window.logEntries();
        EXPECT_EQ(runlog::body(real), predicted(simulated)) << runlog::lines(simulated);
        EXPECT_EQ(figures(runlog::summary(real)), figures(simulated.last()));
        EXPECT_NE(snapshot(probe), before);
    }
}

// A rollback cannot bring back what a trigger did to a generator: the summary says which moved.
TEST_F(SimulationTest, AGeneratorSteppedByATriggerIsNamedInsteadOfNothingWritten) {
    Operation user = operations().last();
    user.fixtures += fixtureFiles({"trigger-steps-generator.sql"});
    TestDatabase tdb(user.fixtures);
    path()->setText(tdb.path());
    run(user, kSimulate);
    EXPECT_TRUE(runlog::summary(window.logEntries())
                    .endsWith(QStringLiteral(
                        " Nada foi gravado nas tabelas, mas um generator foi avançado pelos "
                        "gatilhos durante a simulação, e a simulação não o desfaz: "
                        "GEN_SEN_CODIGO.")))
        << runlog::lines(window.logEntries());
}

TEST_F(SimulationTest, RemovalsTellTheRowsEachStatementWouldChange) {
    const Operation user = operations().last();
    TestDatabase tdb(user.fixtures);
    path()->setText(tdb.path());
    run(user, kSimulate);
    QStringList counted;
    for (const QString& e : window.logEntries())
        if (e.startsWith(QStringLiteral("Simulação: ")) && e.contains(QStringLiteral(" alterado")))
            counted << e.section(QStringLiteral(": "), 1);
    EXPECT_EQ(counted.size(), 7) << runlog::lines(window.logEntries());
    EXPECT_TRUE(counted.last().startsWith(
        QStringLiteral("1 registro seria alterado por: DELETE FROM SCA_SENHA WHERE SEN_CODIGO = "
                       "3002")))
        << counted.last().toStdString();
}

TEST_F(SimulationTest, AFailureThatEndsTheRunLeavesNothingBehind) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "cleanup-docs.sql"}));
    Probe probe(tdb.path());
    probe.exec(
        QStringLiteral("CREATE TABLE BLOQUEIO (ID INTEGER REFERENCES SCA_HISTORICOCUSTOLIQUIDO)"));
    probe.exec(QStringLiteral("INSERT INTO BLOQUEIO VALUES (151)"));
    path()->setText(tdb.path());
    const auto before = snapshot(probe);
    markOnly(window.catalogue(), DatabaseKind::Vornix, {QStringLiteral("SCA_NOTAFISCALSAIDA")});
    dialogs.runAnswers = {kSimulate};
    click("btnIniciar");
    // The duplicate cost history thinned two groups before the refused delete ended the run.
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().first().contains(QStringLiteral("BLOQUEIO")));
    EXPECT_TRUE(
        runlog::summary(window.logEntries()).contains(QStringLiteral("encerrada por um erro")));
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
    EXPECT_EQ(snapshot(probe), before);
}

TEST_F(SimulationTest, ALostConnectionLeavesTheServerToDiscardEverything) {
    TestDatabase tdb(
        fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "generators-advanced.sql"}));
    TestServer server;
    const QString served = server.connectionString(tdb.path());
    path()->setText(served);
    QMap<QString, QStringList> before;
    {
        Probe probe(served);
        before = snapshot(probe);
    }
    int refreshes = 0;
    window.onRefresh = [&] {
        if (++refreshes == 40) server.kill();
    };
    markAll(window.catalogue(), DatabaseKind::Vornix);
    dialogs.runAnswers = {kSimulate};
    click("btnIniciar");
    window.onRefresh = nullptr;
    const QStringList log = window.logEntries();
    EXPECT_TRUE(log.contains(simulationConnectionLost())) << runlog::lines(log);
    EXPECT_FALSE(runlog::purgedTables(log).isEmpty());  // work was done before the kill
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
    EXPECT_FALSE(window.session().DB_GERAL.isConnected());
    server.start();
    Probe probe(served);
    EXPECT_EQ(snapshot(probe), before);
}

}  // namespace
