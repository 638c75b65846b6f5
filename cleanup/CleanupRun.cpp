#include "cleanup/CleanupRun.h"

#include "cleanup/DuplicateCosts.h"
#include "cleanup/Plan.h"
#include "cleanup/Purge.h"

namespace {
// Left to right, stopping as soon as the outcome is known: the cursor ends on the last key tested.
bool holds(const Condition& c, MemTable& catalogue) {
    auto marked = [&](int i) {
        return TabelaSelecionada(catalogue, QString::fromLatin1(c.keys[i]));
    };
    switch (c.join) {
        case Join::One:
            return marked(0);
        case Join::Either:
            return marked(0) || marked(1);
        case Join::All:
            for (int i = 0; i < c.count; ++i)
                if (!marked(i)) return false;
            return true;
    }
    return false;
}

void runStep(const PlanRow& step, Session& session, MemTable& catalogue) {
    switch (step.kind) {
        case RowKind::Statement:
            session.ExecutarComando(QString::fromLatin1(step.text), Commit::None);
            break;
        case RowKind::Purge:
            LimparTabela(session, catalogue, QString::fromLatin1(step.text),
                         QString::fromLatin1(step.generator), QString::fromLatin1(step.condition));
            break;
        case RowKind::DuplicateCosts:
            RemoverCustosDuplicados(session);
            break;
        case RowKind::RequisitionDuplicates:
            removerHistoricoRequisicaoDuplicado(session);
            break;
        case RowKind::Block:
            break;
    }
}
}  // namespace

void LimparTabelas(Session& session, MemTable& catalogue, DatabaseKind kind) {
    session.runOperation(falhaConexaoLimpeza(), [&] {
        for (const Block& b : blocksOf(planRowsOf(kind))) {
            if (!holds(b.when, catalogue)) continue;
            for (const PlanRow& step : b.steps) runStep(step, session, catalogue);
        }
    });
}
