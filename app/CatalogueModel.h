#pragma once

#include <QAbstractTableModel>
#include <QSet>

#include "catalogue/Catalogues.h"
#include "catalogue/MemTable.h"

// The catalogue as the grid shows it: "ID", "Tabela" and the mark column "Limpar". The table's
// cursor is the grid's current row; the row indicator marks it.
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IdColumn = 0, DescriptionColumn = 1, MarkColumn = 2 };
    static constexpr int MarkRole = Qt::UserRole + 1;

    explicit CatalogueModel(MemTable& table, QObject* parent = nullptr);

    // The grid's hint; rows of entries that no block of the kind's plan tests add a line saying
    // that marking them cleans nothing.
    static QString hint();
    // What the row indicator column shows on the current row.
    static QString indicator();
    void setDatabaseKind(DatabaseKind kind);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    MemTable& m_table;
    QSet<QString> m_nothingCleans;
    int m_indicatorRow = -1;
};
