#pragma once

#include <QList>
#include <QString>
#include <functional>

// The technician's whole cycle on fresh copies of each base: the safety copy, the full cleanup
// and the compaction through the tool's window, beside the same by hand (gbak -b, the replay of
// the tool's requests, gbak -b -g, gbak -c); and the compact file's size beside that of the
// restore made by hand. Writes cycle.csv in out.
struct CycleSetup {
    QString self;           // this program, for the tool's runs
    QString replayProgram;  // depurix_replay
    QString out;
    QList<int> scales;
    int repeats = 3;
    std::function<QString(int rows)> base;  // the database of that size, built
};
int runCycle(const CycleSetup& setup);
