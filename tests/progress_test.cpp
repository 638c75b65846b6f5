// Progress, a stop between two statements, and the summary every run ends with, on the real
// window.
#include <QProgressBar>
#include <QRegularExpression>

#include "support/OperationWindow.h"
#include "support/RunLog.h"
#include "support/Snapshot.h"

namespace {

using ProgressTest = OperationWindowTest;

// The counts a log's lines add up to: tables and rows of the purges, failures.
struct Counted {
    int tables = 0, failures = 0;
    qint64 rows = 0;
};

Counted countLines(const QStringList& log) {
    static const QRegularExpression tableLine(QStringLiteral("^\\S+ \\( (\\d+) \\)$"));
    Counted c;
    for (const QString& e : runlog::body(log)) {
        if (const auto m = tableLine.match(e); m.hasMatch()) {
            ++c.tables;
            c.rows += m.captured(1).toLongLong();
        } else if (e != runlog::kSeparator && !e.contains(QStringLiteral(" Inexistente")) &&
                   !e.contains(QStringLiteral(" inexistente"))) {
            ++c.failures;
        }
    }
    return c;
}

qint64 figure(const QString& summary, const char* after) {
    const QRegularExpression re(QStringLiteral("([\\d.]+) ") + QString::fromUtf8(after));
    return re.match(summary).captured(1).remove(QLatin1Char('.')).toLongLong();
}

TEST_F(ProgressTest, EachOperationReachesItsTotalAtTheEndAndSumsUpItsLog) {
    auto* progress = child<QProgressBar>("sbr_Msg_progress");
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        TestDatabase tdb(op.fixtures);
        Probe probe(tdb.path());
        path()->setText(tdb.path());
        bool shownWhileRunning = false;
        window.onRefresh = [&] {
            shownWhileRunning = progress->isVisible() && button("btn_Parar")->isVisible();
        };
        run(op, kRun);
        window.onRefresh = nullptr;
        EXPECT_TRUE(shownWhileRunning);
        EXPECT_FALSE(progress->isVisible());
        EXPECT_EQ(progress->maximum(), op.steps);
        EXPECT_EQ(progress->value(), op.steps);

        const QStringList log = window.logEntries();
        const QString summary = runlog::summary(log);
        ASSERT_FALSE(summary.isEmpty()) << runlog::lines(log);
        const Counted c = countLines(log);
        EXPECT_EQ(figure(summary, "falha"), c.failures) << summary.toStdString();
        if (op.steps == 395) {
            EXPECT_EQ(figure(summary, "tabela"), c.tables) << summary.toStdString();
            // Every row counted went, but those the audit purge's condition keeps.
            EXPECT_EQ(figure(summary, "registro"),
                      c.rows - probe.count(QStringLiteral("SCA_HISTORICOALTERACAO")));
        } else {
            EXPECT_EQ(figure(summary, "comando"), op.steps - c.failures) << summary.toStdString();
        }
    }
}

TEST_F(ProgressTest, MarksChangedDuringACleanupStillEndItsProgressAtItsTotal) {
    const Operation cleanup = operations().first();
    TestDatabase tdb(cleanup.fixtures);
    path()->setText(tdb.path());
    int refreshes = 0;
    window.onRefresh = [&] {
        if (++refreshes == 30) click("cb_Tabelas");  // the group box stays live: every basic
    };                                               // table is unmarked halfway
    markAll(window.catalogue(), DatabaseKind::Vornix);
    child<QCheckBox>("cb_Tabelas")->setChecked(true);
    dialogs.runAnswers = {kRun};
    click("btnIniciar");
    window.onRefresh = nullptr;
    auto* progress = child<QProgressBar>("sbr_Msg_progress");
    EXPECT_LT(progress->maximum(), cleanup.steps);
    EXPECT_EQ(progress->value(), progress->maximum());
}

TEST_F(ProgressTest, AStopBetweenTwoStatementsLeavesTheEarlierOnesDoneAndNamesBoth) {
    const Operation user = operations().last();
    for (const RunAnswer& answer : {kRun, kSimulate}) {
        const bool simulation = answer.choice == RunAnswer::Choice::Simulate;
        SCOPED_TRACE(simulation ? "simulation" : "real run");
        TestDatabase tdb(user.fixtures);
        Probe probe(tdb.path());
        path()->setText(tdb.path());
        const auto before = snapshot(probe);
        // While the third statement is on its way the technician asks to stop.
        window.onRefresh = [&] {
            if (window.statusText().contains(QStringLiteral("SCA_SENHAEMPRESA"))) {
                dialogs.confirmAnswers = {true};
                button("btn_Parar")->click();
            }
        };
        run(user, answer);
        window.onRefresh = nullptr;

        const QStringList questions = dialogs.texts(QStringLiteral("confirm"));
        ASSERT_EQ(questions.size(), 2);
        EXPECT_EQ(questions[1],
                  simulation ? QStringLiteral("Parar a simulação depois do comando atual? Nada foi "
                                              "gravado no banco de dados.")
                             : QStringLiteral("Parar a operação depois do comando atual? O que já "
                                              "foi gravado continua gravado no banco de dados; uma "
                                              "tabela em andamento é desfeita."));
        EXPECT_FALSE(dialogs.shown.last().defaultYes);
        const QStringList log = runlog::body(window.logEntries());
        ASSERT_FALSE(log.isEmpty());
        EXPECT_EQ(
            log.last(),
            (simulation ? QStringLiteral("Simulação parada") : QStringLiteral("Operação parada")) +
                QStringLiteral(" pelo usuário após o passo 3 de 7: DELETE FROM "
                               "SCA_SENHAEMPRESA WHERE SEN_CODIGO_SENHA = 3002. O próximo "
                               "seria o passo 4 de 7: DELETE FROM SCA_MAPASENHA WHERE "
                               "MSE_CODIGO_SENHA = 3002") +
                (simulation ? QString()
                            : QStringLiteral(" Tudo o que foi executado até aqui já estava "
                                             "gravado.")));
        EXPECT_TRUE(runlog::summary(window.logEntries()).contains(QStringLiteral("3 comando")));
        EXPECT_TRUE(
            runlog::summary(window.logEntries()).contains(QStringLiteral("parada pelo usuário")));
        EXPECT_TRUE(button("btnIniciar")->isEnabled());
        if (simulation) {
            EXPECT_EQ(snapshot(probe), before);
            continue;
        }
        const auto count = [&](const char* table, const char* column) {
            return probe.count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = 3002")
                                   .arg(QLatin1String(table), QLatin1String(column)));
        };
        EXPECT_EQ(count("SCA_SENHASISTEMA", "SEN_CODIGO_SENHA"), 0);
        EXPECT_EQ(count("SCA_SENHAEMPRESA", "SEN_CODIGO_SENHA"), 0);  // done and committed
        EXPECT_GT(count("SCA_MAPASENHA", "MSE_CODIGO_SENHA"), 0);     // never sent
        EXPECT_EQ(count("SCA_SENHA", "SEN_CODIGO"), 1);
    }
}

}  // namespace
