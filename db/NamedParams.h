#pragma once

#include <QString>
#include <QStringList>

// ":NAME" markers turned into Firebird's positional "?", one position per occurrence.
struct PositionalSql {
    QString sql;
    QStringList names;  // upper case, in position order; a name used twice appears twice
};

// Markers inside string literals, quoted identifiers and comments are left alone.
PositionalSql toPositional(const QString& sql);
