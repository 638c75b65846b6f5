#pragma once

#include <QString>
#include <span>

#include "base/Dialogs.h"
#include "frame/Session.h"
#include "removals/Script.h"

// The 62 statements that remove storage location '99', in order; the code goes in as an SQL
// string literal.
std::span<const ScriptStatement> location99Script();

QString confirmacaoLocal99();

// Removes every location '99' with what is bound to it, and the movements the script clears in
// the whole database; tells the user what to set before using the system again.
void RemoverLocal99(Session& session, Dialogs& dialogs, const RunOptions& options);
