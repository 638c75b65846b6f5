// Measures what the tool costs beside the database's own work: each operation through the real
// window against isql-fb replaying exactly the statements and commits the tool sent, on identical
// copies of the same database, at several sizes. See bench/run.sh.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <cstdio>

#include "BenchData.h"
#include "OldDuplicateLoop.h"
#include "Plot.h"
#include "app/uDepurix.h"
#include "cleanup/DuplicateCosts.h"
#include "support/CatalogueMarks.h"
#include "support/FakeView.h"
#include "support/ScriptedDialogs.h"

namespace {

// The real window, timing what it does for every statement: the status line, the repaint and
// the pending events.
class TimedWindow : public Tfrm_Depurix {
public:
    using Tfrm_Depurix::Tfrm_Depurix;
    qint64 windowNs = 0;
    int perStatement = 0;  // one refresh per statement or purge
    qint64 statusNs = 0;
    void setStatus(const QString& text) override {
        QElapsedTimer t;
        t.start();
        timed([&] { Tfrm_Depurix::setStatus(text); });
        statusNs += t.nsecsElapsed();
    }
    void refresh() override {
        ++perStatement;
        timed([&] { Tfrm_Depurix::refresh(); });
    }
    void processPendingEvents() override {
        timed([&] { Tfrm_Depurix::processPendingEvents(); });
    }

private:
    template <class F>
    void timed(F f) {
        QElapsedTimer t;
        t.start();
        f();
        windowNs += t.nsecsElapsed();
    }
};

struct Row {
    QString platform, operation;
    int rows = 0;
    double tool = 0, isql = 0;
    int statements = 0;
    double overheadUs = 0;
};

QString copyOf(const QString& base, const QString& name) {
    const QString path = QFileInfo(base).dir().filePath(name);
    QFile::remove(path);
    QFile::copy(base, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

double isqlReplay(const QString& path, const QStringList& trace, const QString& scriptPath) {
    QFile script(scriptPath);
    script.open(QIODevice::WriteOnly | QIODevice::Truncate);
    // Same statements, same commits: DDL must not commit on its own.
    QString text =
        QStringLiteral("SET AUTODDL OFF;\nCONNECT '%1' USER 'SYSDBA' PASSWORD 'vlemtrasq';\n")
            .arg(path);
    for (QString sql : trace) {
        while (sql.endsWith(QLatin1Char(';'))) sql.chop(1);
        text += sql + QStringLiteral(";\n");
    }
    script.write(text.toUtf8());
    script.close();
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    isql.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("WIN1252"),
                QStringLiteral("-i"), scriptPath});
    isql.waitForFinished(-1);
    return t.nsecsElapsed() / 1e9;
}

Row runOperation(const QString& platform, const QString& operation, int rows, const QString& base) {
    ScriptedDialogs dialogs;
    TimedWindow window(dialogs);
    window.show();
    QApplication::processEvents();
    const QString path = copyOf(base, QStringLiteral("tool.fdb"));
    window.findChild<QLineEdit*>(QStringLiteral("edt_Caminho"))->setText(path);
    QStringList trace;
    window.session().DB_GERAL.setTrace([&](const TraceEntry& e) { trace << e.literal(); });
    QString button;
    if (operation == QLatin1String("limpeza")) {
        markAll(window.catalogue(), DatabaseKind::Vornix);
        dialogs.confirmAnswers = {true};
        button = QStringLiteral("btnIniciar");
    } else if (operation == QLatin1String("estabelecimento")) {
        dialogs.inputAnswers = {QStringLiteral("1")};
        dialogs.confirmAnswers = {true};
        button = QStringLiteral("btn_Remover_Estabelecimento_Vornix");
    } else {
        dialogs.confirmAnswers = {true};
        button = QStringLiteral("btn_Remover_Local_99");
    }
    window.windowNs = 0;
    window.perStatement = 0;
    QElapsedTimer t;
    t.start();
    window.findChild<QPushButton*>(button)->click();
    Row r{platform,
          operation,
          rows,
          t.nsecsElapsed() / 1e9,
          0,
          window.perStatement,
          window.perStatement ? window.windowNs / 1e3 / window.perStatement : 0};
    std::fprintf(stderr, "  status line %.1f us/statement\n",
                 window.perStatement ? window.statusNs / 1e3 / window.perStatement : 0.0);
    if (!dialogs.errors().isEmpty())
        std::fprintf(stderr, "  error box: %s\n", qPrintable(dialogs.errors().join(u'|')));
    if (platform == QLatin1String("offscreen"))
        r.isql = isqlReplay(copyOf(base, QStringLiteral("isql.fdb")), trace,
                            QFileInfo(base).dir().filePath(QStringLiteral("replay.sql")));
    window.close();
    return r;
}

double timeDuplicateLoop(const QString& path, bool original) {
    FakeView view;
    view.path = path;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    QElapsedTimer t;
    t.start();
    session.runOperation(falhaConexaoLimpeza(), [&] {
        if (original)
            removerCustosDuplicadosOriginal(session);
        else
            RemoverCustosDuplicados(session);
    });
    return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    QString out = QStringLiteral("bench/results");
    QList<int> scales = {0, 50000, 200000, 800000};
    QStringList operations = {QStringLiteral("limpeza"), QStringLiteral("estabelecimento"),
                              QStringLiteral("local99")};
    bool duplicates = true, append = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out"))
            out = args.value(++i);
        else if (args[i] == QLatin1String("--scales")) {
            scales.clear();
            for (const QString& s : args.value(++i).split(QLatin1Char(','))) scales << s.toInt();
        } else if (args[i] == QLatin1String("--operations"))
            operations = args.value(++i).split(QLatin1Char(','));
        else if (args[i] == QLatin1String("--no-duplicates"))
            duplicates = false;
        else if (args[i] == QLatin1String("--append"))
            append = true;
    }
    const QString platform = QGuiApplication::platformName();
    QDir().mkpath(out + QStringLiteral("/data"));

    QList<Row> results;
    QList<std::tuple<int, double, double>> loops;
    for (int rows : scales) {
        const QString base = QDir(out).filePath(QStringLiteral("data/base-%1.fdb").arg(rows));
        if (!QFile::exists(base)) {
            std::printf("building %d rows...\n", rows);
            std::fflush(stdout);
            buildBenchDatabase(base, rows);
        }
        for (const QString& op : operations) {
            const Row r = runOperation(platform, op, rows, base);
            std::printf(
                "%-10s %-16s %8d rows  tool %8.3f s  isql %8.3f s  %6d statements  %8.1f "
                "us/statement\n",
                qPrintable(platform), qPrintable(op), rows, r.tool, r.isql, r.statements,
                r.overheadUs);
            std::fflush(stdout);
            results << r;
        }
        if (duplicates && rows > 0) {
            const double now =
                timeDuplicateLoop(copyOf(base, QStringLiteral("dup-new.fdb")), false);
            const double before =
                timeDuplicateLoop(copyOf(base, QStringLiteral("dup-old.fdb")), true);
            std::printf(
                "duplicate cost history %8d rows  one pass %8.3f s  re-query %8.3f s  ratio "
                "%6.2f\n",
                rows, now, before, before / now);
            loops << std::tuple{rows, now, before};
        }
    }

    QFile csv(QDir(out).filePath(QStringLiteral("bench.csv")));
    const bool header = !append || !csv.exists();
    csv.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate);
    if (header)
        csv.write(
            "platform,operation,rows,tool_s,isql_s,ratio,window_refreshes,window_us_per_refresh\n");
    for (const Row& r : results)
        csv.write(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8\n")
                      .arg(r.platform, r.operation)
                      .arg(r.rows)
                      .arg(r.tool, 0, 'f', 3)
                      .arg(r.isql > 0 ? QString::number(r.isql, 'f', 3) : QString())
                      .arg(r.isql > 0 ? QString::number(r.tool / r.isql, 'f', 2) : QString())
                      .arg(r.statements)
                      .arg(r.overheadUs, 0, 'f', 1)
                      .toUtf8());
    for (const auto& [rows, now, before] : loops)
        csv.write(QStringLiteral("%1,duplicados-uma-passada-vs-requery,%2,%3,%4,%5,,\n")
                      .arg(platform)
                      .arg(rows)
                      .arg(now, 0, 'f', 3)
                      .arg(before, 0, 'f', 3)
                      .arg(before / now, 0, 'f', 2)
                      .toUtf8());

    if (!append) {
        QList<Series> series;
        const QList<QColor> colors = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                      QColor(0x2c, 0xa0, 0x2c)};
        for (int o = 0; o < operations.size(); ++o) {
            Series tool{operations[o] + QStringLiteral(" (ferramenta)"), {}, colors[o % 3], false};
            Series isql{operations[o] + QStringLiteral(" (isql)"), {}, colors[o % 3], true};
            for (const Row& r : results)
                if (r.operation == operations[o]) {
                    tool.points << QPointF(r.rows, r.tool);
                    isql.points << QPointF(r.rows, r.isql);
                }
            series << tool << isql;
        }
        plotToPng(QDir(out).filePath(QStringLiteral("bench.png")),
                  QStringLiteral("Tempo por tamanho do banco"), series);
    }
    return 0;
}
