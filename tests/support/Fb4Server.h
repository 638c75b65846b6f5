#pragma once

#include <QString>
#include <QStringList>

#include "support/TestDatabase.h"

// The Firebird 4.0 server scripts/firebird4-server.sh starts, found through the variables it
// prints: DEPURIX_FB4_SERVER (127.0.0.1/port), DEPURIX_FB4_DATA (its data folder here) and
// DEPURIX_FB4_DATA_INSIDE (the same folder as the server sees it).
namespace fb4 {

bool available();
// Why the tests that need it are skipped.
QString absent();

// A database of its own on that server, built from fixture files through the server itself (a
// 4.0 server opens no 3.0 file) once per set of files and test process, then copied.
class ServerDatabase {
public:
    explicit ServerDatabase(const QStringList& fixtures = fixtureFiles({"schema.sql"}));
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    // As the tool is given it: 127.0.0.1/port:/data/name.fdb.
    const QString& connectionString() const { return m_connection; }
    // The file as this machine sees it.
    const QString& file() const { return m_file; }

private:
    QString m_connection;
    QString m_file;
};

}  // namespace fb4

// Skips the test when the 4.0 server is not running; scripts/test.sh always starts it.
#define SKIP_WITHOUT_FB4() \
    if (!fb4::available()) GTEST_SKIP() << fb4::absent().toStdString()
