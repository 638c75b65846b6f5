#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>

#include "catalogue/Catalogues.h"
#include "catalogue/MemTable.h"

// Fields of CDS_TABELAS.
inline constexpr QLatin1StringView TABELA_ORDEM{"TABELA_ORDEM"};
inline constexpr QLatin1StringView TABELA_NOME{"TABELA_NOME"};
inline constexpr QLatin1StringView DESCRICAO{"DESCRICAO"};
inline constexpr QLatin1StringView EXCLUIR{"EXCLUIR"};

QList<FieldDef> catalogueFields();

// Rebuilds the catalogue of the chosen database kind from scratch; the last entry is current.
void CarregarTabelas(MemTable& table, DatabaseKind kind);
// Adds one entry with the next running number; the new row becomes current.
void AdicionarTabela(MemTable& table, int& counter, const QString& name, const QString& description,
                     const QString& mark);
