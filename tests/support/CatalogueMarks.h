#pragma once

#include <QStringList>

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Catalogues.h"
#include "catalogue/MemTable.h"

// A freshly built catalogue in which exactly the given keys are marked "S".
void markOnly(MemTable& catalogue, DatabaseKind kind, const QStringList& keys);
// A freshly built catalogue with every entry marked "S".
void markAll(MemTable& catalogue, DatabaseKind kind);
