#pragma once

#include <QStringList>

#include "db/Database.h"

// Another program's connection holding, uncommitted, an update of a customer of user 3002 (the
// user-removal fixture); it lets the row go when it goes.
struct LockedRow {
    explicit LockedRow(const QString& connectionString);
    Database db;
    Transaction tr{db};
    Query update{db, tr};
};

// What user 3002's removal logs when it meets that row: the update fails at once (no wait), and
// with it refused, the user row's delete.
void expectTheLockedRowsFailures(const QStringList& log);
