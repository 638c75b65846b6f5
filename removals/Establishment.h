#pragma once

#include <QString>
#include <span>

#include "base/Dialogs.h"
#include "frame/Session.h"
#include "removals/Script.h"

// The link-breaking pass (42 statements) and the delete script (214), in order; the
// establishment's code goes in exactly as typed.
std::span<const ScriptStatement> establishmentLinks();
std::span<const ScriptStatement> establishmentScript();

// Whether a typed code may go into the statements: a whole decimal number, blanks around it
// allowed. Anything else could change what the statements delete.
bool codigoEstabelecimentoValido(const QString& code);

// Runs the link-breaking pass for the establishment; false when the technician stopped it.
bool DesvincularEstabelecimento(Session& session, const QString& code);

// Asks for the establishment's code inside the operation, checks it exists, asks for
// confirmation (or a simulation), then breaks its links and runs the delete script.
void RemoverEstabelecimento(Session& session, Dialogs& dialogs);
