#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include "db/Database.h"

// Every user generator's current value by name, read in one request through the query, whose
// named-parameter check it turns off. A
// generator stands outside every transaction: what a simulation's triggers step stays stepped.
QMap<QString, qint64> generatorValues(Query& q);

// The generators whose value differs between two readings, in name order.
QStringList movedGenerators(const QMap<QString, qint64>& before,
                            const QMap<QString, qint64>& after);
