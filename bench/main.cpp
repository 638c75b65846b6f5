// Measures what the tool costs beside the database's own work. Three contestants run each
// operation on identical fresh copies of the same database: the tool through its real window (a
// child process, so that its peak memory can be read and every run starts clean), isql-fb
// replaying the tool's statements and commits as literal SQL, and depurix_replay sending the
// same requests straight through the client library (the limit). See bench/run.sh.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "BenchData.h"
#include "Cycle.h"
#include "Launcher.h"
#include "OldDuplicateLoop.h"
#include "Plot.h"
#include "TraceFile.h"
#include "app/uDepurix.h"
#include "cleanup/DuplicateCosts.h"
#include "db/Backup.h"
#include "db/Win1252.h"
#include "support/CatalogueMarks.h"
#include "support/FakeView.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The tool's side, run in a child: one operation, its requests written for the other two.

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

// Writes the requests as depurix_replay reads them and, beside, as literal SQL for isql.
class Recorder {
public:
    explicit Recorder(const QString& path) : m_trace(path), m_sql(path + QStringLiteral(".sql")) {
        m_sql.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    void operator()(const TraceEntry& e) {
        m_trace.write(e);
        QString sql = e.literal();
        while (sql.endsWith(QLatin1Char(';'))) sql.chop(1);
        m_sql.write(win1252::encode(sql) + ";\n");
    }

private:
    TraceFile m_trace;
    QFile m_sql;
};

// Requests as the attachment counted them, whether they were recorded or not.
int requestsSent(Database& db) {
    const RequestCounts& n = db.requests();
    return n.queries + n.statements + n.commits + n.rollbacks;
}

void report(double seconds, int requests, int refreshes = 0, double windowUs = 0) {
    std::printf("time=%.6f requests=%d refreshes=%d window_us=%.1f\n", seconds, requests, refreshes,
                windowUs);
}

int windowRun(const QString& operation, const QString& path, Recorder* recorder) {
    ScriptedDialogs dialogs;
    TimedWindow window(dialogs);
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit*>(QStringLiteral("edt_Caminho"))->setText(path);
    if (recorder) window.session().DB_GERAL.setTrace(std::ref(*recorder));
    QString button;
    if (operation == QLatin1String("limpeza") || operation == QLatin1String("simulacao")) {
        markAll(window.catalogue(), DatabaseKind::Vornix);
        if (operation == QLatin1String("simulacao"))
            dialogs.runAnswers = {RunAnswer{RunAnswer::Choice::Simulate, false}};
        else
            dialogs.confirmAnswers = {true};
        button = QStringLiteral("btnIniciar");
    } else if (operation == QLatin1String("ciclo")) {
        // The technician's cycle: the safety copy, the cleanup and the compaction, keeping the
        // original in place.
        markAll(window.catalogue(), DatabaseKind::Vornix);
        RunAnswer answer{RunAnswer::Choice::Yes, true};
        answer.compact = true;
        dialogs.runAnswers = {answer};
        button = QStringLiteral("btnIniciar");
    } else if (operation == QLatin1String("estabelecimento")) {
        dialogs.inputAnswers = {QStringLiteral("1")};
        dialogs.confirmAnswers = {true};
        button = QStringLiteral("btn_Remover_Estabelecimento_Vornix");
    } else if (operation == QLatin1String("local99")) {
        dialogs.confirmAnswers = {true};
        button = QStringLiteral("btn_Remover_Local_99");
    } else {
        std::fprintf(stderr, "unknown operation %s\n", qPrintable(operation));
        return 2;
    }
    window.windowNs = 0;
    window.perStatement = 0;
    QElapsedTimer t;
    t.start();
    window.findChild<QPushButton*>(button)->click();
    const double seconds = t.nsecsElapsed() / 1e9;
    const RunReport& r = window.session().report();
    std::fprintf(stderr, "  %s: status line %.1f us/statement, %d failures\n", qPrintable(operation),
                 window.perStatement ? window.statusNs / 1e3 / window.perStatement : 0.0,
                 r.failures);
    if (!dialogs.errors().isEmpty())
        std::fprintf(stderr, "  error box: %s\n", qPrintable(dialogs.errors().join(u'|')));
    if (operation == QLatin1String("ciclo"))
        for (const QString& line : window.logEntries().filter(QStringLiteral("ompacta")))
            std::fprintf(stderr, "  %s\n", qPrintable(line));
    report(seconds, requestsSent(window.session().DB_GERAL), window.perStatement,
           window.perStatement ? window.windowNs / 1e3 / window.perStatement : 0);
    window.close();
    return 0;
}

// The duplicate cost-history removal alone, in a session of its own as the cleanup runs it.
int duplicateRun(const QString& path, Recorder* recorder, bool original) {
    FakeView view;
    view.path = path;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    if (recorder) session.DB_GERAL.setTrace(std::ref(*recorder));
    QElapsedTimer t;
    t.start();
    session.runOperation(falhaConexaoLimpeza(), [&] {
        if (original)
            removerCustosDuplicadosOriginal(session);
        else
            RemoverCustosDuplicados(session);
    });
    report(t.nsecsElapsed() / 1e9, requestsSent(session.DB_GERAL));
    return 0;
}

// The safety copy alone, on an open attachment as a run makes it; the copy is removed after.
int backupRun(const QString& path) {
    Database db(sysdbaLogin());
    db.setConnectionString(path);
    db.open();
    QElapsedTimer t;
    t.start();
    const BackupResult copy = makeBackup(db, [](const QString&) {});
    const double seconds = t.nsecsElapsed() / 1e9;
    db.close();
    std::fprintf(stderr, "  safety copy %s, %lld bytes\n", qPrintable(copy.file),
                 qlonglong(QFileInfo(copy.file).size()));
    QFile::remove(copy.file);
    report(seconds, 0);
    return 0;
}

int toolRun(const QStringList& args) {
    const QString operation = args.value(0), path = args.value(1), tracePath = args.value(2);
    std::unique_ptr<Recorder> recorder;
    if (!tracePath.isEmpty() && tracePath != QLatin1String("-"))
        recorder = std::make_unique<Recorder>(tracePath);
    try {
        if (operation == QLatin1String("duplicados") ||
            operation == QLatin1String("duplicados-antigo"))
            return duplicateRun(path, recorder.get(),
                                operation == QLatin1String("duplicados-antigo"));
        if (operation == QLatin1String("backup")) return backupRun(path);
        return windowRun(operation, path, recorder.get());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tool run failed: %s\n", qPrintable(errorMessage(e)));
        return 1;
    }
}

// ---------------------------------------------------------------------------------------------
// The bench's side.

struct ChildResult {
    int status = -1;
    double wall = 0;
    double rssMb = 0;
    QMap<QString, QString> fields;  // of the child's "key=value" line
};

QString g_childLog;

// Runs a program with its output in a file; its peak memory as wait4 gives it.
ChildResult runChild(const QStringList& argv) {
    const QString outPath = QDir::temp().filePath(QStringLiteral("depurix-bench-child.out"));
    std::vector<std::string> words;
    for (const QString& a : argv) words.push_back(QFile::encodeName(a).toStdString());
    const launcher::Result l = launcher::run(words, QFile::encodeName(outPath).toStdString(),
                                             QFile::encodeName(g_childLog).toStdString());
    ChildResult r{l.status, l.seconds, l.peakMb, {}};
    QFile f(outPath);
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll()).trimmed();
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0) r.fields[word.left(eq)] = word.mid(eq + 1);
        else r.fields[QStringLiteral("time")] = word;  // the replay prints its seconds alone
    }
    if (r.status != 0)
        std::fprintf(stderr, "  %s exited with %d (see %s)\n", qPrintable(argv.first()), r.status,
                     qPrintable(g_childLog));
    return r;
}

QString copyOf(const QString& base, const QString& name) {
    const QString path = QFileInfo(base).dir().filePath(name);
    QFile::remove(path);
    QFile::copy(base, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Rows in all the user tables: the same after every contestant, or one of them did not do the
// work.
qint64 rowsLeft(const QString& path) {
    Probe probe(path);
    Probe::Hold hold(probe);
    qint64 total = 0;
    for (const QString& table : probe.column(QStringLiteral(
             "SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0 AND "
             "RDB$VIEW_BLR IS NULL")))
        total += probe.count(table);
    return total;
}

struct Sample {
    QList<double> times;
    QList<double> rss;
    int refreshes = 0;
    double windowUs = 0;
    qint64 rowsLeft = -1;

    double median() const {
        QList<double> s = times;
        std::sort(s.begin(), s.end());
        if (s.isEmpty()) return 0;
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double min() const { return times.isEmpty() ? 0 : *std::min_element(times.begin(), times.end()); }
    double max() const { return times.isEmpty() ? 0 : *std::max_element(times.begin(), times.end()); }
    double peakRss() const { return rss.isEmpty() ? 0 : *std::max_element(rss.begin(), rss.end()); }
    QString range() const {
        return QStringLiteral("%1–%2").arg(min(), 0, 'f', 3).arg(max(), 0, 'f', 3);
    }
};

struct Line {
    QString platform, operation;
    int rows;
    QString contestant;
    Sample sample;
    double ratioIsql = 0, ratioReplay = 0;
};

class Bench {
public:
    QString self, replayProgram, out, platform;
    int repeats = 3;
    QList<Line> lines;

    QString base(int rows) const {
        return QDir(out).filePath(QStringLiteral("data/base-%1.fdb").arg(rows));
    }
    QString data(const QString& name) const { return QDir(out).filePath(QStringLiteral("data/") + name); }

    ChildResult tool(const QString& op, const QString& path, const QString& trace) {
        return runChild({self, QStringLiteral("--tool-run"), op, path, trace});
    }

    ChildResult isql(const QString& path, const QString& trace) {
        // The tool's transaction from the start and after every commit; DDL commits only where
        // the tool commits.
        const QByteArray tpb = "SET TRANSACTION READ WRITE NO WAIT READ COMMITTED RECORD_VERSION;\n";
        QFile body(trace + QStringLiteral(".sql"));
        body.open(QIODevice::ReadOnly);
        QByteArray script = "SET AUTODDL OFF;\nCONNECT '" + QFile::encodeName(path) +
                            "' USER 'SYSDBA' PASSWORD 'vlemtrasq';\n" + tpb;
        for (const QByteArray& line : body.readAll().split('\n')) {
            if (line.isEmpty()) continue;
            script += line + '\n';
            if (line == "COMMIT;" || line == "ROLLBACK;") script += tpb;
        }
        const QString scriptPath = trace + QStringLiteral(".isql");
        QFile f(scriptPath);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(script);
        f.close();
        ChildResult r = runChild({QStringLiteral("isql-fb"), QStringLiteral("-q"),
                                  QStringLiteral("-ch"), QStringLiteral("WIN1252"),
                                  QStringLiteral("-i"), scriptPath});
        r.fields[QStringLiteral("time")] = QString::number(r.wall, 'f', 6);
        return r;
    }

    ChildResult replay(const QString& path, const QString& trace, bool prepareEach) {
        QStringList argv = {replayProgram};
        if (prepareEach) argv << QStringLiteral("--prepare-each");
        return runChild(argv << trace << path);
    }

    // Every contestant on a fresh copy, each repeat in another order. The tool's first run, a
    // warm-up not counted, records the requests the others replay.
    QMap<QString, Sample> compete(int rows, const QString& op, const QStringList& contestants,
                                  int times) {
        const QString trace = data(QStringLiteral("trace-%1").arg(op));
        const ChildResult recorded = tool(op, copyOf(base(rows), QStringLiteral("tool.fdb")), trace);
        const QString requests = recorded.fields.value(QStringLiteral("requests"));
        QMap<QString, Sample> samples;
        for (int r = 0; r < times; ++r) {
            for (int i = 0; i < contestants.size(); ++i) {
                const QString& who = contestants[(i + r) % contestants.size()];
                const QString path = copyOf(base(rows), who + QStringLiteral(".fdb"));
                ChildResult c;
                if (who == QLatin1String("ferramenta")) {
                    c = tool(op, path, QStringLiteral("-"));  // timed without recording
                    if (c.fields.value(QStringLiteral("requests")) != requests)
                        std::fprintf(stderr, "  warning: %s sent %s requests, first %s\n",
                                     qPrintable(op),
                                     qPrintable(c.fields.value(QStringLiteral("requests"))),
                                     qPrintable(requests));
                } else if (who == QLatin1String("isql")) {
                    c = isql(path, trace);
                } else {
                    c = replay(path, trace, who == QLatin1String("replay-prepara-cada"));
                }
                Sample& s = samples[who];
                s.times << c.fields.value(QStringLiteral("time")).toDouble();
                s.rss << c.rssMb;
                s.refreshes = c.fields.value(QStringLiteral("refreshes")).toInt();
                s.windowUs = c.fields.value(QStringLiteral("window_us")).toDouble();
                if (r == 0) s.rowsLeft = rowsLeft(path);
            }
        }
        {
            const qint64 expected = samples.first().rowsLeft;
            bool alike = true;
            for (auto it = samples.begin(); it != samples.end(); ++it)
                if (it->rowsLeft != expected) {
                    alike = false;
                    std::fprintf(stderr, "  warning: %s leaves %lld rows, %s %lld\n",
                                 qPrintable(it.key()), qlonglong(it->rowsLeft),
                                 qPrintable(samples.firstKey()), qlonglong(expected));
                }
            if (alike)
                std::printf("  %s %d rows: %lld rows left after each contestant (%s requests)\n",
                            qPrintable(op), rows, qlonglong(expected), qPrintable(requests));
        }
        return samples;
    }

    void add(const QString& op, int rows, const QMap<QString, Sample>& samples) {
        const double tool = samples.value(QStringLiteral("ferramenta")).median();
        for (auto it = samples.begin(); it != samples.end(); ++it) {
            Line l{platform, op, rows, it.key(), *it};
            if (it.key() == QLatin1String("ferramenta")) {
                const double isql = samples.value(QStringLiteral("isql")).median();
                const double replay = samples.value(QStringLiteral("replay")).median();
                l.ratioIsql = isql > 0 ? tool / isql : 0;
                l.ratioReplay = replay > 0 ? tool / replay : 0;
            }
            lines << l;
            std::printf("%-10s %-16s %8d rows  %-20s median %8.3f s  (%s)  peak %6.1f MB\n",
                        qPrintable(platform), qPrintable(op), rows, qPrintable(it.key()),
                        it->median(), qPrintable(it->range()), it->peakRss());
        }
        std::fflush(stdout);
    }

    const Line* find(const QString& op, int rows, const QString& who) const {
        for (const Line& l : lines)
            if (l.operation == op && l.rows == rows && l.contestant == who) return &l;
        return nullptr;
    }
};

const QStringList kThree = {QStringLiteral("ferramenta"), QStringLiteral("isql"),
                            QStringLiteral("replay")};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--tool-run") == 0) {
        QApplication app(argc, argv);
        return toolRun(QApplication::arguments().mid(2));
    }
    launcher::start();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    Bench bench;
    bench.self = QApplication::applicationFilePath();
    bench.replayProgram = QFileInfo(bench.self).dir().filePath(QStringLiteral("depurix_replay"));
    bench.out = QStringLiteral("bench/results");
    bench.platform = QGuiApplication::platformName();
    QList<int> scales = {0, 50000, 200000, 800000};
    bool quick = false, windowCost = false, oldLoop = false, append = false, cycle = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out"))
            bench.out = args.value(++i);
        else if (args[i] == QLatin1String("--scales")) {
            scales.clear();
            for (const QString& s : args.value(++i).split(QLatin1Char(','))) scales << s.toInt();
        } else if (args[i] == QLatin1String("--repeats"))
            bench.repeats = args.value(++i).toInt();
        else if (args[i] == QLatin1String("--quick"))
            quick = true;
        else if (args[i] == QLatin1String("--window-cost"))
            windowCost = true;  // the tool alone, once per operation, for the window's cost
        else if (args[i] == QLatin1String("--old-loop"))
            oldLoop = true;
        else if (args[i] == QLatin1String("--append"))
            append = true;
        else if (args[i] == QLatin1String("--cycle"))
            cycle = true;  // the technician's whole cycle, tool and by hand
    }
    QDir().mkpath(bench.out + QStringLiteral("/data"));
    g_childLog = QDir(bench.out).absoluteFilePath(QStringLiteral("data/children.log"));
    if (!append) QFile::remove(g_childLog);
    QElapsedTimer clock;
    clock.start();
    std::printf("peak memory read for a child that does nothing: %.1f MB\n",
                launcher::run({"true"}, "/dev/null", g_childLog.toStdString()).peakMb);

    if (cycle) {
        const auto base = [&](int rows) {
            if (!QFile::exists(bench.base(rows))) {
                std::printf("building %d rows...\n", rows);
                std::fflush(stdout);
                buildBenchDatabase(bench.base(rows), rows);
            }
            return bench.base(rows);
        };
        const int status = runCycle(
            {bench.self, bench.replayProgram, bench.out, scales, bench.repeats, base});
        std::printf("bench took %.0f s\n", clock.nsecsElapsed() / 1e9);
        return status;
    }

    const QStringList operations =
        quick ? QStringList{QStringLiteral("limpeza")}
              : QStringList{QStringLiteral("limpeza"), QStringLiteral("estabelecimento"),
                            QStringLiteral("local99")};
    QStringList extras;
    for (int rows : scales) {
        if (!QFile::exists(bench.base(rows))) {
            std::printf("building %d rows...\n", rows);
            std::fflush(stdout);
            QElapsedTimer t;
            t.start();
            buildBenchDatabase(bench.base(rows), rows);
            std::printf("built %d rows in %.1f s\n", rows, t.nsecsElapsed() / 1e9);
        }
        if (windowCost) {
            for (const QString& op : operations) {
                const ChildResult c =
                    bench.tool(op, copyOf(bench.base(rows), QStringLiteral("tool.fdb")), {});
                Sample s;
                s.times << c.fields.value(QStringLiteral("time")).toDouble();
                s.rss << c.rssMb;
                s.refreshes = c.fields.value(QStringLiteral("refreshes")).toInt();
                s.windowUs = c.fields.value(QStringLiteral("window_us")).toDouble();
                bench.add(op, rows, {{QStringLiteral("ferramenta"), s}});
                std::printf("%-10s %-16s %8d rows  window %d refreshes, %.1f us each\n",
                            qPrintable(bench.platform), qPrintable(op), rows, s.refreshes,
                            s.windowUs);
            }
            continue;
        }
        // The main figure three times over; the removals once, as they are small.
        bench.add(QStringLiteral("limpeza"), rows,
                  bench.compete(rows, QStringLiteral("limpeza"), kThree, bench.repeats));
        for (const QString& op : operations.mid(1))
            bench.add(op, rows, bench.compete(rows, op, kThree, 1));
        if (quick || rows == 0) continue;

        // The duplicate removal alone: now, as it was before statements were kept (every
        // execution prepared again), and the limit.
        const QMap<QString, Sample> dup = bench.compete(
            rows, QStringLiteral("duplicados"),
            {QStringLiteral("ferramenta"), QStringLiteral("replay-prepara-cada"),
             QStringLiteral("replay")},
            bench.repeats);
        bench.add(QStringLiteral("duplicados"), rows, dup);
        const double now = dup.value(QStringLiteral("ferramenta")).median();
        extras << QStringLiteral(
                      "duplicate cost history %1 rows: tool %2 s, prepared each time %3 s "
                      "(before/now %4), replay %5 s (tool/replay %6)")
                      .arg(rows)
                      .arg(now, 0, 'f', 3)
                      .arg(dup.value(QStringLiteral("replay-prepara-cada")).median(), 0, 'f', 3)
                      .arg(dup.value(QStringLiteral("replay-prepara-cada")).median() / now, 0, 'f', 2)
                      .arg(dup.value(QStringLiteral("replay")).median(), 0, 'f', 3)
                      .arg(now / dup.value(QStringLiteral("replay")).median(), 0, 'f', 2);
        if (oldLoop) {
            const ChildResult c = bench.tool(QStringLiteral("duplicados-antigo"),
                                             copyOf(bench.base(rows), QStringLiteral("tool.fdb")), {});
            extras << QStringLiteral("duplicate cost history %1 rows: loop re-querying after each "
                                     "delete %2 s (once)")
                          .arg(rows)
                          .arg(c.fields.value(QStringLiteral("time")));
        }

        if (rows == 200000) {
            const double real = bench.find(QStringLiteral("limpeza"), rows,
                                           QStringLiteral("ferramenta"))->sample.median();
            Sample sim, copy;
            const qint64 before = rowsLeft(bench.base(rows));
            for (int r = 0; r < bench.repeats; ++r) {
                const QString path = copyOf(bench.base(rows), QStringLiteral("sim.fdb"));
                ChildResult c = bench.tool(QStringLiteral("simulacao"), path, {});
                sim.times << c.fields.value(QStringLiteral("time")).toDouble();
                sim.rss << c.rssMb;
                if (r == 0) sim.rowsLeft = rowsLeft(path);
                c = bench.tool(QStringLiteral("backup"),
                               copyOf(bench.base(rows), QStringLiteral("backup.fdb")), {});
                copy.times << c.fields.value(QStringLiteral("time")).toDouble();
                copy.rss << c.rssMb;
            }
            bench.add(QStringLiteral("simulacao"), rows, {{QStringLiteral("ferramenta"), sim}});
            bench.add(QStringLiteral("copia-seguranca"), rows,
                      {{QStringLiteral("ferramenta"), copy}});
            extras << QStringLiteral(
                          "simulation %1 rows: %2 s (%3) against the real cleanup %4 s; rows "
                          "%5 before, %6 after (%7)")
                          .arg(rows)
                          .arg(sim.median(), 0, 'f', 3)
                          .arg(sim.range())
                          .arg(real, 0, 'f', 3)
                          .arg(before)
                          .arg(sim.rowsLeft)
                          .arg(before == sim.rowsLeft ? QStringLiteral("unchanged")
                                                      : QStringLiteral("CHANGED"));
            extras << QStringLiteral("safety copy %1 rows: %2 s (%3) beside the cleanup's %4 s")
                          .arg(rows)
                          .arg(copy.median(), 0, 'f', 3)
                          .arg(copy.range())
                          .arg(real, 0, 'f', 3);
        }
    }

    // A quick run leaves the full run's figures alone.
    const QString name = quick ? QStringLiteral("bench-quick") : QStringLiteral("bench");
    QFile csv(QDir(bench.out).filePath(name + QStringLiteral(".csv")));
    const bool header = !append || !csv.exists();
    csv.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate);
    if (header)
        csv.write("platform,operation,rows,contestant,repeats,median_s,min_s,max_s,peak_rss_mb,"
                  "ratio_tool_isql,ratio_tool_replay,window_refreshes,window_us_per_refresh\n");
    auto ratio = [](double r) { return r > 0 ? QString::number(r, 'f', 2) : QString(); };
    for (const Line& l : bench.lines) {
        const bool tool = l.contestant == QLatin1String("ferramenta");
        csv.write(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12,%13\n")
                      .arg(l.platform, l.operation)
                      .arg(l.rows)
                      .arg(l.contestant)
                      .arg(l.sample.times.size())
                      .arg(l.sample.median(), 0, 'f', 3)
                      .arg(l.sample.min(), 0, 'f', 3)
                      .arg(l.sample.max(), 0, 'f', 3)
                      .arg(l.sample.peakRss(), 0, 'f', 1)
                      .arg(ratio(l.ratioIsql), ratio(l.ratioReplay))
                      .arg(tool ? QString::number(l.sample.refreshes) : QString())
                      .arg(tool ? QString::number(l.sample.windowUs, 'f', 1) : QString())
                      .toUtf8());
    }
    if (windowCost) return 0;

    if (!append) {
        QList<Series> series;
        const QList<std::tuple<QString, QColor, Qt::PenStyle>> who = {
            {QStringLiteral("ferramenta"), QColor(0x1f, 0x77, 0xb4), Qt::SolidLine},
            {QStringLiteral("isql"), QColor(0xd6, 0x27, 0x28), Qt::DashLine},
            {QStringLiteral("replay"), QColor(0x2c, 0xa0, 0x2c), Qt::DotLine}};
        for (const auto& [name, color, style] : who) {
            Series s{QStringLiteral("limpeza (%1)").arg(name), {}, {}, color, style};
            for (const Line& l : bench.lines)
                if (l.operation == QLatin1String("limpeza") && l.contestant == name) {
                    s.points << QPointF(l.rows, l.sample.median());
                    s.spans << std::pair{l.sample.min(), l.sample.max()};
                }
            series << s;
        }
        plotToPng(QDir(bench.out).filePath(name + QStringLiteral(".png")),
                  QStringLiteral("Limpeza completa: tempo por tamanho do banco (mediana, "
                                 "mín–máx)"),
                  series);
    }

    std::printf("\n%-16s %8s  %-20s %9s  %-17s %8s  %9s %11s\n", "operation", "rows",
                "contestant", "median s", "min–max s", "peak MB", "tool/isql", "tool/replay");
    for (const Line& l : bench.lines)
        std::printf("%-16s %8d  %-20s %9.3f  %-17s %8.1f  %9s %11s\n", qPrintable(l.operation),
                    l.rows, qPrintable(l.contestant), l.sample.median(),
                    qPrintable(l.sample.range()), l.sample.peakRss(),
                    qPrintable(ratio(l.ratioIsql)), qPrintable(ratio(l.ratioReplay)));
    for (const QString& e : extras) std::printf("%s\n", qPrintable(e));
    std::printf("bench took %.0f s\n", clock.nsecsElapsed() / 1e9);
    if (const Line* l = bench.find(QStringLiteral("limpeza"), 50000, QStringLiteral("ferramenta")))
        std::printf("ratio tool/isql: %.2f  tool/limit: %.2f\n", l->ratioIsql, l->ratioReplay);
    return 0;
}
