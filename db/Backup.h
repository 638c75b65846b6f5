#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "db/Database.h"
#include "db/Service.h"

// A finished backup: its file as the database's server names it, and how long it took.
struct BackupResult {
    QString file;
    qint64 milliseconds = 0;
};

// Gets every line the backup prints (see ServiceProgress).
using BackupProgress = ServiceProgress;

// A logical backup (restorable with gbak -c) of the database db is attached to, made by the
// service manager of the server that holds it, into the database's own folder and named after it
// with the date and time. Succeeds only when the service reports the copy finished and no error;
// otherwise throws fb::Error with the server's message.
BackupResult makeBackup(Database& db, const BackupProgress& progress);

namespace backup {

// "service_mgr" for a local file, "host/port:service_mgr" for "host/port:path" (also "host:",
// "[ipv6]/port:" and "inet://host:port/").
QString serviceManager(const QString& connectionString);

// Whether the paths the database's server sees are this machine's own: a local file or a server
// on the loopback address.
bool isOnThisMachine(const QString& connectionString);

// "/dados/VORNIX.FDB" at 2026-12-10 14:30:05 gives "/dados/VORNIX-20261210-143005.fbk"; the copy
// number, from 2 on, goes before the extension ("...-143005-2.fbk"), and a tag after it.
QString fileName(const QString& databaseFile, const QDateTime& when, int copy = 1,
                 const QString& tag = QString());

// A short random part for names chosen on a server whose answers may not be readable.
QString randomTag();

// What a failed attempt to open a file as a database says of its name, from the status codes
// alone: the system's "not found" frees it; a file that opened, or is not a database, takes it.
// Through the network the system's error comes only as text, in the server's language: unknown.
enum class NameAnswer { Free, Taken, Unknown };
NameAnswer nameAnswer(const intptr_t* errors);

// The same, asked through the database's server by opening the file; throws when the server
// refuses the login.
NameAnswer probeName(const QString& connectionString, const QString& file,
                     const LoginParams& login);

// The first of those names that taken() does not refuse.
QString freeFileName(const QString& databaseFile, const QDateTime& when,
                     const std::function<bool(const QString& file)>& taken,
                     const QString& tag = QString());

// The database's file as its server names it: the expanded path, also when opened by an alias.
QString serverFileName(Database& db);

struct BackupOptions {
    // The copy of a database about to be restored: collecting its garbage only costs time.
    bool noGarbageCollection = false;
    // A line per table and index: worth showing for the safety copy, costly when nobody reads it.
    bool verbose = true;
    ServiceStop stop;
};

// Runs the service's backup of databaseFile into backupFile, both the server's paths.
void runBackupService(const QString& serviceManager, const LoginParams& login,
                      const QString& databaseFile, const QString& backupFile,
                      const BackupProgress& progress, const BackupOptions& options = {});

}  // namespace backup
