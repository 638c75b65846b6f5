#pragma once

#include <QString>
#include <QStringList>
#include <exception>

// What a run did, for the summary line that ends its log.
struct RunReport {
    enum class Kind { Cleanup, Removal };
    Kind kind = Kind::Removal;
    int tables = 0;          // purged
    qint64 rowsDeleted = 0;  // by the purges
    int statements = 0;      // of a removal, run without failure
    qint64 rowsChanged = 0;  // by those statements
    int failures = 0;        // statements, purges and generator restarts the database refused
    bool stopped = false;    // by the technician, between two steps
    bool endedByError = false;
    bool finalWriteFailed = false;  // the commit at the end
    bool connectionLost = false;
    // Of a simulation: generators its triggers stepped, which its rollback cannot bring back, and
    // whether they could be checked at all.
    QStringList generatorsMoved;
    bool generatorsUnchecked = false;
};

// One line: what was done, the failures, whether it was stopped, and the time it took.
QString summaryLine(const RunReport& report, bool simulation, qint64 milliseconds);

// Counts a failure the database reported; notes when it says the connection is gone.
void countFailure(RunReport& report, std::exception_ptr error);

// A duration as the technician reads it: "4,2 s", "2 min 05 s".
QString duration(qint64 milliseconds);

// Lines a simulation adds to what the real run would log.
QString simulationHeader();
QString simulatedChange(qint64 rows, const QString& statement);
QString simulatedMessage(const QString& message);
QString simulationConnectionLost();
