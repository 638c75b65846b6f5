#pragma once

#include <QString>

#include "frame/Session.h"

QString captionExclusao();
QString promptUsuario();
QString confirmacaoUsuario(int code);

// The user's answer as a signed 32-bit decimal integer; anything else is refused with the
// conversion error the technicians know.
int converterCodigoUsuario(const QString& typed);

// Removes one user and its links; its customers pass to the database's generic user.
void RemoverUsuario(Session& session, int code, const RunOptions& options);
