#pragma once

#include <QList>
#include <QString>
#include <vector>

#include "db/FbClient.h"
#include "db/Value.h"

namespace fb {

// One column of a statement's output message.
struct Column {
    QString name;
    unsigned type, offset, nullOffset, length, charSet;
    int scale;
};

std::vector<Column> describeColumns(Firebird::IMessageMetadata* meta);

// The column's value in a fetched row; NULL as the empty value.
Value decodeColumn(const unsigned char* row, const Column& c);

// The input message of a statement: one position per marker, typed after what is bound to it
// (the server converts to the column's type). The metadata is built again only when the types
// bound change.
class InputMessage {
public:
    Firebird::IMessageMetadata* metadata() const { return m_meta.get(); }
    unsigned char* write(const QList<Value>& values);

private:
    void build(const std::vector<bool>& dateTime);

    std::vector<bool> m_dateTime;  // the type of each position: date-time, else integer
    Ref<Firebird::IMessageMetadata> m_meta;
    std::vector<unsigned> m_offsets, m_nullOffsets;
    std::vector<unsigned char> m_buffer;
};

}  // namespace fb
