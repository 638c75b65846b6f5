#pragma once

#include <QFile>
#include <QString>

#include "db/Database.h"

// Writes the requests of a run for depurix_replay: per request a line "Q|S <values> <bytes>", the
// text's bytes in the connection character set and a line end, then one line per value: "n",
// "i <int>", "d <double>", "t <yyyy-mm-dd hh:mm:ss.ffff>" (tenths of a millisecond) or
// "s <bytes>" followed by the bytes; commits and rollbacks are a line "C" or "R".
class TraceFile {
public:
    explicit TraceFile(const QString& path);
    void write(const TraceEntry& e);
    int entries() const { return m_entries; }

private:
    QFile m_file;
    int m_entries = 0;
};
