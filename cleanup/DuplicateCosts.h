#pragma once

#include "frame/Session.h"

// Thins out the net-cost history: for every (item-location, date, grade-price) combination held
// by more than one row, the rows matched by the group's pass lose all but one. Logs nothing,
// commits nothing and lets every database error through, which ends the cleanup run.
void RemoverCustosDuplicados(Session& session);

// For every duplicated group of the cost history, deletes the requisition rows of its
// item-location and date through the non-committing runner. An error of the group query itself
// ends the cleanup run.
void removerHistoricoRequisicaoDuplicado(Session& session);
