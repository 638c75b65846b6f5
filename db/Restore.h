#pragma once

#include <QDateTime>
#include <QString>

#include "db/Database.h"
#include "db/Service.h"

// Restoring a logical backup into a new database file, through the service manager of the server
// that will hold it, and what goes with it: free names beside a database, the size of a database,
// removing a restore that did not finish and putting a restored file in place of another.
namespace restore {

// "/dados/VORNIX.FDB", "compactado" at 2026-12-10 14:30:05 give
// "/dados/VORNIX-compactado-20261210-143005.fdb"; from copy 2 on "...-143005-2.fdb".
// A random part, when given, goes after the copy number.
QString siblingName(const QString& databaseFile, const QString& tag, const QDateTime& when,
                    int copy = 1, const QString& extension = QStringLiteral(".fdb"),
                    const QString& random = QString());

// Whether a file lies at that path of the server behind connectionString: looked at directly on
// this machine, asked of the server elsewhere (where only a clear answer takes the name).
bool taken(const QString& connectionString, const QString& file, const LoginParams& login);

// The connection string of another file of the same server.
QString onSameServer(const QString& connectionString, const QString& file);

// Whether the connection string names a file opened by this program's own engine.
bool isLocalFile(const QString& connectionString);

// Restores backupFile into databaseFile (the server's paths), which must not exist: the service
// is never asked to replace. pageSize 0 keeps the backup's; without verbose the service says
// nothing until it ends.
void runRestoreService(const QString& serviceManager, const LoginParams& login,
                       const QString& backupFile, const QString& databaseFile, int pageSize,
                       const ServiceProgress& progress, const ServiceStop& stop = {},
                       bool verbose = false);

// Page size and allocated size of the database db is attached to.
int pageSize(Database& db);
qint64 sizeInBytes(Database& db);

// Removes a database this program was making and did not finish: dropped through its server, or
// on this machine removed as a file. Returns what could not be removed, for the log; empty when
// nothing is left under that name.
QString discard(const QString& connectionString, const QString& file, const LoginParams& login);
// The same for a backup file the program made; the server has no way to remove one elsewhere.
QString discardBackup(const QString& connectionString, const QString& file);

// Puts replacement, a local file, in the place of original, which is renamed first to
// "NOME-<tag>-AAAAMMDD-HHMMSS.fdb" beside it (a free name) when it is there. Returns that name,
// or the empty text when there was no original. Throws with both files as they were when a rename
// fails.
QString swap(const QString& original, const QString& replacement, const QString& tag,
             const QDateTime& when);

}  // namespace restore
