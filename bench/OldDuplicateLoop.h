#pragma once

#include "frame/Session.h"

// The duplicate cost-history loop as it was first written: after every single delete the pass
// query runs again, so a matched set of k rows costs k passes. Kept only to measure it against
// the one-pass-per-group loop the tool runs.
void removerCustosDuplicadosOriginal(Session& session);
