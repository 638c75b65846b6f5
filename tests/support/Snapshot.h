#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include "support/TestDatabase.h"

// Every user table's rows, in key order, as text, and every generator's value: two databases with
// equal snapshots hold the same data.
QMap<QString, QStringList> snapshot(Probe& probe);
