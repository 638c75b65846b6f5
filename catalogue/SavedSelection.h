#pragma once

#include "base/Dialogs.h"
#include "catalogue/MemTable.h"

// Saves the catalogue with its marks to the fixed selection file and tells the user how it went.
void salvarSelecao(const MemTable& catalogue, Dialogs& dialogs);

// Loads the fixed selection file into the catalogue when it holds as many entries; every
// failure is told in a message and leaves the catalogue as it was.
void abrirSelecao(MemTable& catalogue, MemTable& temp, Dialogs& dialogs);
