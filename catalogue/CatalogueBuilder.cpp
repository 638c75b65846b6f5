#include "catalogue/CatalogueBuilder.h"

QList<FieldDef> catalogueFields() {
    return {
        {QString(TABELA_ORDEM), FieldType::Integer, 4},
        {QString(TABELA_NOME), FieldType::Text, 31},
        {QString(DESCRICAO), FieldType::Text, 60},
        {QString(EXCLUIR), FieldType::Text, 1},
    };
}

void CarregarTabelas(MemTable& table, DatabaseKind kind) {
    table.close();
    table.setFieldDefs(catalogueFields());
    table.createDataSet();
    table.setIndexFieldName(QString(TABELA_ORDEM));
    int counter = 0;
    for (const CatalogueEntry& e : catalogueOf(kind)) {
        AdicionarTabela(table, counter, QString::fromLatin1(e.name),
                        QString::fromUtf8(e.description), QString(QLatin1Char(e.mark)));
    }
}

void AdicionarTabela(MemTable& table, int& counter, const QString& name, const QString& description,
                     const QString& mark) {
    ++counter;
    table.append({counter, name, description, mark});
}
