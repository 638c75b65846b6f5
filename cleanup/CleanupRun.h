#pragma once

#include "catalogue/Catalogues.h"
#include "catalogue/MemTable.h"
#include "frame/Session.h"

// The cleanup run: walks the plan of the chosen database kind inside the operation frame and
// runs every block whose entries are marked. Marks are read as each block is reached.
void LimparTabelas(Session& session, MemTable& catalogue, DatabaseKind kind,
                   const RunOptions& options);
