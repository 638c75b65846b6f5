#include "Cycle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

#include "Launcher.h"

namespace {

const QString kPassword = QStringLiteral("vlemtrasq");

struct Step {
    int status = -1;
    double seconds = 0;
    QString output;
};

Step run(const QStringList& argv, const QString& log) {
    const QString outPath = QDir::temp().filePath(QStringLiteral("depurix-cycle.out"));
    std::vector<std::string> words;
    for (const QString& a : argv) words.push_back(QFile::encodeName(a).toStdString());
    const launcher::Result r = launcher::run(words, QFile::encodeName(outPath).toStdString(),
                                             QFile::encodeName(log).toStdString());
    QFile f(outPath);
    f.open(QIODevice::ReadOnly);
    Step s{r.status, r.seconds, QString::fromUtf8(f.readAll()).trimmed()};
    if (s.status != 0)
        std::fprintf(stderr, "  %s exited with %d (see %s)\n", qPrintable(argv.first()), s.status,
                     qPrintable(log));
    return s;
}

// A folder of its own holding a fresh copy of the base as VORNIX.FDB.
QString freshCopy(const QString& base, const QString& folder) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("VORNIX.FDB"));
    QFile::copy(base, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

struct Samples {
    QList<double> times;
    qint64 cleanedBytes = 0, compactBytes = 0;
    double median() const {
        QList<double> s = times;
        std::sort(s.begin(), s.end());
        if (s.isEmpty()) return 0;
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double min() const {
        return times.isEmpty() ? 0 : *std::min_element(times.begin(), times.end());
    }
    double max() const {
        return times.isEmpty() ? 0 : *std::max_element(times.begin(), times.end());
    }
};

qint64 sizeOf(const QString& file) { return QFileInfo(file).size(); }

}  // namespace

int runCycle(const CycleSetup& setup) {
    const QString data = QDir(setup.out).filePath(QStringLiteral("data"));
    const QString log = QDir(data).filePath(QStringLiteral("cycle-children.log"));
    const QStringList login = {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                               QStringLiteral("-password"), kPassword};
    QFile csv(QDir(setup.out).filePath(QStringLiteral("cycle.csv")));
    csv.open(QIODevice::WriteOnly | QIODevice::Truncate);
    csv.write(
        "rows,contestant,repeats,median_s,min_s,max_s,ratio_tool_hand,base_bytes,"
        "cleaned_bytes,compact_bytes\n");
    bool ok = true;
    for (const int rows : setup.scales) {
        const QString base = setup.base(rows);
        // The requests the replay sends: the tool's own cleanup, recorded once.
        const QString trace = QDir(data).filePath(QStringLiteral("trace-ciclo-%1").arg(rows));
        run({setup.self, QStringLiteral("--tool-run"), QStringLiteral("limpeza"),
             freshCopy(base, QDir(data).filePath(QStringLiteral("ciclo-gravacao"))), trace},
            log);
        QMap<QString, Samples> samples;
        for (int r = 0; r < setup.repeats; ++r) {
            for (int i = 0; i < 2; ++i) {
                const bool tool = (i + r) % 2 == 0;  // each repeat in the other order
                const QString who = tool ? QStringLiteral("ferramenta") : QStringLiteral("manual");
                const QString folder = QDir(data).filePath(QStringLiteral("ciclo-") + who);
                const QString db = freshCopy(base, folder);
                Samples& s = samples[who];
                double seconds = 0;
                QString compact;
                if (tool) {
                    const Step t = run({setup.self, QStringLiteral("--tool-run"),
                                        QStringLiteral("ciclo"), db, QStringLiteral("-")},
                                       log);
                    ok = ok && t.status == 0;
                    for (const QString& word : t.output.split(QLatin1Char(' ')))
                        if (word.startsWith(QLatin1String("time=")))
                            seconds = word.mid(5).toDouble();
                    const QStringList made = QDir(folder).entryList(
                        {QStringLiteral("VORNIX-compactado-*.fdb")}, QDir::Files);
                    if (made.size() != 1 ||
                        QDir(folder).entryList({QStringLiteral("*.fbk")}, QDir::Files).size() !=
                            1) {
                        std::fprintf(stderr, "  the tool's cycle left %s\n",
                                     qPrintable(QDir(folder).entryList(QDir::Files).join(u' ')));
                        ok = false;
                    }
                    compact = made.isEmpty() ? QString() : QDir(folder).filePath(made.first());
                } else {
                    const QString safety = QDir(folder).filePath(QStringLiteral("seguranca.fbk"));
                    const QString clean = QDir(folder).filePath(QStringLiteral("limpo.fbk"));
                    compact = QDir(folder).filePath(QStringLiteral("VORNIX-restaurado.fdb"));
                    const QList<QStringList> steps = {
                        QStringList{QStringLiteral("gbak"), QStringLiteral("-b")} + login +
                            QStringList{db, safety},
                        QStringList{setup.replayProgram, trace, db},
                        QStringList{QStringLiteral("gbak"), QStringLiteral("-b"),
                                    QStringLiteral("-g")} +
                            login + QStringList{db, clean},
                        QStringList{QStringLiteral("gbak"), QStringLiteral("-c")} + login +
                            QStringList{clean, compact},
                    };
                    for (const QStringList& step : steps) {
                        const Step t = run(step, log);
                        ok = ok && t.status == 0;
                        seconds += t.seconds;
                    }
                }
                s.times << seconds;
                s.cleanedBytes = sizeOf(db);
                s.compactBytes = sizeOf(compact);
                std::printf("  cycle %d rows %-10s %.3f s, cleaned %lld bytes, compact %lld\n",
                            rows, qPrintable(who), seconds, qlonglong(s.cleanedBytes),
                            qlonglong(s.compactBytes));
                std::fflush(stdout);
            }
        }
        const double ratio = samples[QStringLiteral("ferramenta")].median() /
                             std::max(samples[QStringLiteral("manual")].median(), 1e-9);
        for (auto it = samples.cbegin(); it != samples.cend(); ++it) {
            const bool tool = it.key() == QLatin1String("ferramenta");
            csv.write(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10\n")
                          .arg(rows)
                          .arg(it.key())
                          .arg(it->times.size())
                          .arg(it->median(), 0, 'f', 3)
                          .arg(it->min(), 0, 'f', 3)
                          .arg(it->max(), 0, 'f', 3)
                          .arg(tool ? QString::number(ratio, 'f', 2) : QString())
                          .arg(sizeOf(base))
                          .arg(it->cleanedBytes)
                          .arg(it->compactBytes)
                          .toUtf8());
            std::printf(
                "cycle %8d rows  %-10s median %8.3f s  (%.3f–%.3f)  cleaned %6.1f MB  "
                "compact %6.1f MB%s\n",
                rows, qPrintable(it.key()), it->median(), it->min(), it->max(),
                it->cleanedBytes / 1e6, it->compactBytes / 1e6,
                tool ? qPrintable(QStringLiteral("  tool/hand %1").arg(ratio, 0, 'f', 2)) : "");
        }
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
