#pragma once

#include <QString>
#include <span>

#include "catalogue/MemTable.h"

// Sets the mark of the entry with that key (whole key, any letter case); the entry becomes the
// current row. A key that is not in the catalogue is ignored and the current row stays.
void MarcarTabela(MemTable& table, const QString& key, const QString& mark);

// A group rule: every key of the group, in order, gets "S" when ticked and "N" when not.
void marcarGrupo(MemTable& table, std::span<const char* const> group, bool ticked);

// The toggle of the current entry: exactly "S" becomes "N", anything else becomes "S".
void alternarMarca(MemTable& table);
