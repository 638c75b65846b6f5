#pragma once

#include <QMap>
#include <QString>

#include "db/Database.h"
#include "db/Service.h"

// What two databases must share for one to stand in for the other: every user table's row count
// and every generator's value.
struct DatabaseFacts {
    QString file;  // as the server names it
    int pageSize = 0;
    qint64 bytes = 0;
    QMap<QString, qint64> rows;
    QMap<QString, qint64> generators;
};

// Read on an attachment of its own.
DatabaseFacts readFacts(const QString& connectionString, const LoginParams& login);
// The first differences, one per line; empty when there are none.
QString differences(const DatabaseFacts& original, const DatabaseFacts& copy);

// A new database made from a backup, beside the database it stands for.
struct RestoredDatabase {
    QString original;  // the database it stands for, as its server names it
    QString file;      // the new one
    qint64 bytesBefore = 0;
    qint64 bytesAfter = 0;
    qint64 milliseconds = 0;
    QString note;  // what was left behind, for the log
};

// Backs up the database (no garbage collection: the restore rebuilds everything) and restores it
// into "NOME-compactado-AAAAMMDD-HHMMSS.fdb" beside it with its page size, then checks the new
// file against the original. Progress gets the phase it enters and the services' silences. The
// backup made for it is removed where the tool can reach it. Leaves the original as it was; on any
// failure or a stop, throws with the server's message and what is left, and nothing stays under the
// new name that the tool could remove.
RestoredDatabase compactDatabase(const QString& connectionString, const LoginParams& login,
                                 const ServiceProgress& progress, const ServiceStop& stop = {});

// Restores backupFile (the server's path) into "NOME-restaurado-AAAAMMDD-HHMMSS.fdb" beside the
// database connectionString names, and checks that the new file opens. The same failures as a
// compaction.
RestoredDatabase restoreBeside(const QString& connectionString, const QString& databaseFile,
                               const QString& backupFile, const LoginParams& login,
                               const ServiceProgress& progress, const ServiceStop& stop = {});
