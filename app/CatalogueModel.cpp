#include "app/CatalogueModel.h"

#include "catalogue/CatalogueBuilder.h"
#include "cleanup/Plan.h"

CatalogueModel::CatalogueModel(MemTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    connect(&table, &MemTable::aboutToReset, this, [this] { beginResetModel(); });
    connect(&table, &MemTable::contentReset, this, [this] {
        m_indicatorRow = -1;
        endResetModel();
    });
    connect(&table, &MemTable::aboutToAppend, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&table, &MemTable::rowAppended, this, [this](int) { endInsertRows(); });
    connect(&table, &MemTable::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(&table, &MemTable::currentRowChanged, this, [this](int row) {
        const int old = m_indicatorRow;
        m_indicatorRow = row;
        if (old >= 0 && old < rowCount()) emit headerDataChanged(Qt::Vertical, old, old);
        if (row >= 0 && row < rowCount()) emit headerDataChanged(Qt::Vertical, row, row);
    });
}

QString CatalogueModel::indicator() { return QStringLiteral("\u25B6"); }

QString CatalogueModel::hint() {
    return QStringLiteral("Dê um duplo-clique para alterar a marcação");
}

void CatalogueModel::setDatabaseKind(DatabaseKind kind) {
    m_nothingCleans.clear();
    for (const char* key : keysNoBlockTests(kind)) m_nothingCleans << QString::fromLatin1(key);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::ToolTipRole});
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.recordCount();
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_table.recordCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == IdColumn) return m_table.fieldAt(index.row(), TABELA_ORDEM);
            if (index.column() == DescriptionColumn) return m_table.fieldAt(index.row(), DESCRICAO);
            return {};
        case MarkRole:
            return m_table.fieldAt(index.row(), EXCLUIR);
        case Qt::ToolTipRole:
            // Other rows show the grid's own hint.
            if (!m_nothingCleans.contains(m_table.fieldAt(index.row(), TABELA_NOME).toString()))
                return {};
            return hint() + QStringLiteral(
                                "\nEsta tabela não possui limpeza própria: marcá-la "
                                "não exclui nenhum dado.");
        case Qt::TextAlignmentRole:
            if (index.column() == IdColumn) return int(Qt::AlignRight | Qt::AlignVCenter);
            if (index.column() == MarkColumn) return int(Qt::AlignCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section == m_table.recNo()) return indicator();
        if (role == Qt::DisplayRole) return QString();
        return {};
    }
    if (role == Qt::DisplayRole) {
        switch (section) {
            case IdColumn:
                return QStringLiteral("ID");
            case DescriptionColumn:
                return QStringLiteral("Tabela");
            case MarkColumn:
                return QStringLiteral("Limpar");
        }
    }
    if (role == Qt::TextAlignmentRole) {
        if (section == IdColumn) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (section == MarkColumn) return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // read-only: marks change through the window
}
