#include "cleanup/CleanupRun.h"

#include "catalogue/CatalogueBuilder.h"
#include "cleanup/DuplicateCosts.h"
#include "cleanup/Plan.h"
#include "cleanup/Purge.h"

namespace {
// Left to right, stopping as soon as the outcome is known.
template <class Marked>
bool evaluate(const Condition& c, Marked marked) {
    switch (c.join) {
        case Join::One:
            return marked(QString::fromLatin1(c.keys[0]));
        case Join::Either:
            return marked(QString::fromLatin1(c.keys[0])) || marked(QString::fromLatin1(c.keys[1]));
        case Join::All:
            for (int i = 0; i < c.count; ++i)
                if (!marked(QString::fromLatin1(c.keys[i]))) return false;
            return true;
    }
    return false;
}

// The cursor ends on the last key tested, so the purges show its description.
bool holds(const Condition& c, MemTable& catalogue) {
    return evaluate(c, [&](const QString& key) { return TabelaSelecionada(catalogue, key); });
}

// The same answer without moving the cursor, for counting what lies ahead.
bool holdsNow(const Condition& c, const MemTable& catalogue) {
    return evaluate(c, [&](const QString& key) {
        for (int row = 0; row < catalogue.recordCount(); ++row)
            if (catalogue.fieldAt(row, QString(TABELA_NOME))
                    .toString()
                    .compare(key, Qt::CaseInsensitive) == 0)
                return catalogue.fieldAt(row, QString(EXCLUIR)).toString() == QLatin1String("S");
        return false;
    });
}

int stepsAhead(const std::vector<Block>& blocks, size_t from, const MemTable& catalogue) {
    int steps = 0;
    for (size_t i = from; i < blocks.size(); ++i)
        if (holdsNow(blocks[i].when, catalogue)) steps += int(blocks[i].steps.size());
    return steps;
}

QString describe(const PlanRow& step) {
    switch (step.kind) {
        case RowKind::Statement:
            return QString::fromLatin1(step.text);
        case RowKind::Purge:
            return QStringLiteral("limpeza da tabela ") + QString::fromLatin1(step.text);
        case RowKind::DuplicateCosts:
            return QStringLiteral("remoção do histórico de custos duplicado");
        case RowKind::RequisitionDuplicates:
            return QStringLiteral("remoção do histórico de custos duplicado das requisições");
        case RowKind::Block:
            break;
    }
    return QString();
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

void LimparTabelas(Session& session, MemTable& catalogue, DatabaseKind kind,
                   const RunOptions& options) {
    session.runOperation(falhaConexaoLimpeza(), options, [&] {
        if (!session.prepareChanges(options)) return;
        session.report().kind = RunReport::Kind::Cleanup;
        const std::vector<Block> blocks = blocksOf(planRowsOf(kind));
        // Marks may change while the run serves input: what lies ahead is counted again then.
        bool marksChanged = true;
        const auto changed = [&] { marksChanged = true; };
        const QMetaObject::Connection c1 =
            QObject::connect(&catalogue, &MemTable::rowChanged, changed);
        const QMetaObject::Connection c2 =
            QObject::connect(&catalogue, &MemTable::contentReset, changed);
        struct Disconnect {
            const QMetaObject::Connection &a, &b;
            ~Disconnect() {
                QObject::disconnect(a);
                QObject::disconnect(b);
            }
        } disconnect{c1, c2};
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (marksChanged) {
                marksChanged = false;
                session.setStepTotal(session.stepsDone() + stepsAhead(blocks, i, catalogue));
            }
            if (!holds(blocks[i].when, catalogue)) continue;
            for (const PlanRow& step : blocks[i].steps)
                if (!session.runStep(describe(step), [&] { runStep(step, session, catalogue); }))
                    return;
        }
    });
}
