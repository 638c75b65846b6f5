#include "catalogue/Selection.h"

#include "catalogue/CatalogueBuilder.h"

void MarcarTabela(MemTable& table, const QString& key, const QString& mark) {
    if (!table.locate(QString(TABELA_NOME), key, Qt::CaseInsensitive)) return;
    table.setField(QString(EXCLUIR), mark);
}

void marcarGrupo(MemTable& table, std::span<const char* const> group, bool ticked) {
    const QString mark = ticked ? QStringLiteral("S") : QStringLiteral("N");
    for (const char* key : group) MarcarTabela(table, QString::fromLatin1(key), mark);
}

void alternarMarca(MemTable& table) {
    if (table.recNo() < 0) return;
    const bool marked = table.field(QString(EXCLUIR)).toString() == QLatin1String("S");
    table.setField(QString(EXCLUIR), marked ? QStringLiteral("N") : QStringLiteral("S"));
}
