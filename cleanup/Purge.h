#pragma once

#include <QString>

#include "catalogue/MemTable.h"
#include "frame/Session.h"

// Whether the catalogue entry with that key is marked "S". Leaves the catalogue's cursor on the
// entry when it exists, so that the purges that follow show its description.
bool TabelaSelecionada(MemTable& catalogue, const QString& key);

// Purges one table: existence check, row count, delete, log line, generator restart, commit.
// Every outcome goes to the log, followed by the separator; no database error escapes.
void LimparTabela(Session& session, const MemTable& catalogue, const QString& table,
                  const QString& generator, const QString& condition = QString());

// Restarts a generator at 0 when the database has it. Does not commit.
void ReiniciarGenerator(Session& session, const QString& generator);
