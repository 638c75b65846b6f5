#include "support/CatalogueMarks.h"

#include "catalogue/Selection.h"

namespace {
void setAll(MemTable& catalogue, const QString& mark) {
    for (int r = 0; r < catalogue.recordCount(); ++r) {
        catalogue.setRecNo(r);
        catalogue.setField(QString(EXCLUIR), mark);
    }
}
}  // namespace

void markOnly(MemTable& catalogue, DatabaseKind kind, const QStringList& keys) {
    CarregarTabelas(catalogue, kind);
    setAll(catalogue, QStringLiteral("N"));
    for (const QString& k : keys) MarcarTabela(catalogue, k, QStringLiteral("S"));
}

void markAll(MemTable& catalogue, DatabaseKind kind) {
    CarregarTabelas(catalogue, kind);
    setAll(catalogue, QStringLiteral("S"));
}
