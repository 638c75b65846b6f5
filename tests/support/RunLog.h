#pragma once

#include <QString>
#include <QStringList>
#include <string>

// Reading what a run wrote to the log and the status line.
namespace runlog {

inline const QString kSeparator(97, QLatin1Char('-'));

// The tables the log reports as purged, in order.
QStringList purgedTables(const QStringList& log);
// Everything else but separators and the summary: failures of statements and purges, missing
// tables or generators.
QStringList failures(const QStringList& log);
// The summary line that ends a run's log, or the empty text.
QString summary(const QStringList& log);
// The log without its summary line.
QStringList body(const QStringList& log);
// The statements the runner showed, in order.
QStringList commands(const QStringList& statuses);
// One per line, for assertion messages.
std::string lines(const QStringList& l);
QStringList keys(std::initializer_list<const char*> names);

}  // namespace runlog
