#pragma once

#include <QString>
#include <QStringList>

// Splits a script into statements at semicolons outside quotes and comments. "SET TERM" changes
// the terminator, so triggers can be written the usual way.
QStringList splitSqlScript(const QString& script);
