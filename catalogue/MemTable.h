#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

enum class FieldType { Integer, Text };

struct FieldDef {
    QString name;
    FieldType type;
    int size;  // characters for text, bytes for integers
    bool operator==(const FieldDef&) const = default;
};

// An in-memory table with one shared cursor, ordered by an index field. Rows are never deleted:
// the whole content is replaced by a rebuild or by assigning another table.
class MemTable : public QObject {
    Q_OBJECT
public:
    explicit MemTable(QObject* parent = nullptr);

    void setFieldDefs(QList<FieldDef> defs);
    const QList<FieldDef>& fieldDefs() const { return m_defs; }
    // Creates the table empty with its field definitions and opens it.
    void createDataSet();
    // Discards the rows; the table is closed until created again.
    void close();
    bool isActive() const { return m_active; }
    void setIndexFieldName(const QString& name);

    // The stored row becomes the current row.
    void append(const QVariantList& values);
    // Edits one field of the current row; the row keeps its place.
    void setField(const QString& name, const QVariant& value);

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int recNo() const { return m_current; }  // 0-based; -1 when empty
    void setRecNo(int row);
    void first();
    void next();
    bool eof() const { return m_eof; }

    QVariant field(const QString& name) const;
    QVariant fieldAt(int row, const QString& name) const;
    const std::vector<QVariantList>& rows() const { return m_rows; }

    // Whole-value comparison; found: the row becomes current; not found: the cursor stays.
    bool locate(const QString& fieldName, const QString& value, Qt::CaseSensitivity cs);

    // Replaces definitions and rows by those of another table; the first row becomes current.
    void assign(const MemTable& other);

    int fieldIndex(const QString& name) const;  // -1 when absent

signals:
    // Pairs around every change of the row set, so that views can follow.
    void aboutToReset();
    void contentReset();
    void aboutToAppend(int row);
    void rowAppended(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);

private:
    void requireActive() const;
    void sortByIndex();
    void resetTo(std::vector<QVariantList> rows, bool active);
    void moveTo(int row);

    QList<FieldDef> m_defs;
    std::vector<QVariantList> m_rows;
    QString m_indexField;
    bool m_active = false;
    int m_current = -1;
    bool m_eof = true;
};
