#include "catalogue/MemTable.h"

#include <algorithm>

#include "base/Error.h"

MemTable::MemTable(QObject* parent) : QObject(parent) {}

void MemTable::setFieldDefs(QList<FieldDef> defs) { m_defs = std::move(defs); }

void MemTable::createDataSet() { resetTo({}, true); }

void MemTable::close() { resetTo({}, false); }

void MemTable::resetTo(std::vector<QVariantList> rows, bool active) {
    emit aboutToReset();
    m_rows = std::move(rows);
    m_active = active;
    sortByIndex();
    m_current = m_rows.empty() ? -1 : 0;
    m_eof = m_rows.empty();
    emit contentReset();
    emit currentRowChanged(m_current);
}

void MemTable::setIndexFieldName(const QString& name) {
    m_indexField = name;
    if (!m_rows.empty()) resetTo(std::move(m_rows), m_active);
}

int MemTable::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_defs.size(); ++i)
        if (m_defs[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void MemTable::requireActive() const {
    if (!m_active)
        throw AppError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void MemTable::append(const QVariantList& values) {
    requireActive();
    if (values.size() != m_defs.size())
        throw AppError(QStringLiteral("Número de campos inválido: %1").arg(values.size()));
    // Entries are added in index order; a value out of order still lands in its place.
    const int key = fieldIndex(m_indexField);
    auto at = m_rows.end();
    if (key >= 0) {
        at = std::upper_bound(
            m_rows.begin(), m_rows.end(), values[key].toLongLong(),
            [key](qlonglong v, const QVariantList& r) { return v < r[key].toLongLong(); });
    }
    const int row = int(at - m_rows.begin());
    emit aboutToAppend(row);
    m_rows.insert(at, values);
    emit rowAppended(row);
    moveTo(row);
}

void MemTable::setField(const QString& name, const QVariant& value) {
    requireActive();
    const int f = fieldIndex(name);
    if (f < 0) throw AppError(QStringLiteral("Campo '%1' não encontrado").arg(name));
    if (m_current < 0) throw AppError(QStringLiteral("Nenhum registro atual"));
    m_rows[size_t(m_current)][f] = value;
    emit rowChanged(m_current);
}

void MemTable::setRecNo(int row) {
    if (row < 0 || row >= recordCount()) return;
    moveTo(row);
}

void MemTable::first() {
    if (m_rows.empty()) {
        m_eof = true;
        return;
    }
    moveTo(0);
}

void MemTable::next() {
    if (m_current + 1 >= recordCount()) {
        m_eof = true;
        return;
    }
    moveTo(m_current + 1);
}

void MemTable::moveTo(int row) {
    m_eof = false;
    if (row == m_current) return;
    m_current = row;
    emit currentRowChanged(row);
}

QVariant MemTable::field(const QString& name) const { return fieldAt(m_current, name); }

QVariant MemTable::fieldAt(int row, const QString& name) const {
    const int f = fieldIndex(name);
    if (f < 0) throw AppError(QStringLiteral("Campo '%1' não encontrado").arg(name));
    if (row < 0 || row >= recordCount()) return {};
    return m_rows[size_t(row)][f];
}

bool MemTable::locate(const QString& fieldName, const QString& value, Qt::CaseSensitivity cs) {
    const int f = fieldIndex(fieldName);
    if (f < 0) throw AppError(QStringLiteral("Campo '%1' não encontrado").arg(fieldName));
    for (int row = 0; row < recordCount(); ++row) {
        if (m_rows[size_t(row)][f].toString().compare(value, cs) == 0) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

void MemTable::sortByIndex() {
    const int key = fieldIndex(m_indexField);
    if (key < 0) return;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [key](const QVariantList& a, const QVariantList& b) {
                         return a[key].toLongLong() < b[key].toLongLong();
                     });
}

void MemTable::assign(const MemTable& other) {
    m_defs = other.m_defs;
    resetTo(other.m_rows, true);
}
