#include "db/Message.h"

#include <cstring>

#include "db/Win1252.h"

using namespace Firebird;

namespace fb {

namespace {
// Message buffers hold their fields at the offsets the metadata gives, not always aligned.
template <class T>
T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Value decode(const unsigned char* buffer, unsigned type, unsigned offset, unsigned length,
             unsigned charSet, int scale) {
    const unsigned char* p = buffer + offset;
    auto text = [charSet](const char* data, qsizetype n) {
        return charSet == 1 ? QString::fromLatin1(data, n) : win1252::decode(data, n);
    };
    switch (type) {
        case SQL_TEXT:
            return Value(text(reinterpret_cast<const char*>(p), qsizetype(length)));
        case SQL_VARYING:
            return Value(text(reinterpret_cast<const char*>(p + 2), load<ISC_USHORT>(p)));
        case SQL_SHORT:
            return Value(qint64(load<ISC_SHORT>(p)), scale);
        case SQL_LONG:
            return Value(qint64(load<ISC_LONG>(p)), scale);
        case SQL_INT64:
            return Value(qint64(load<ISC_INT64>(p)), scale);
        case SQL_FLOAT:
            return Value(double(load<float>(p)));
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return Value(load<double>(p));
        case SQL_TIMESTAMP: {
            const auto ts = load<ISC_TIMESTAMP>(p);
            unsigned y, m, d, h, mi, s, f;
            util()->decodeDate(ts.timestamp_date, &y, &m, &d);
            util()->decodeTime(ts.timestamp_time, &h, &mi, &s, &f);
            return Value::timestamp(QDateTime(QDate(int(y), int(m), int(d)),
                                              QTime(int(h), int(mi), int(s), int(f / 10)), Qt::UTC),
                                    int(f % 10));
        }
        case SQL_TYPE_DATE: {
            unsigned y, m, d;
            util()->decodeDate(load<ISC_DATE>(p), &y, &m, &d);
            return Value(QDate(int(y), int(m), int(d)));
        }
        case SQL_TYPE_TIME: {
            unsigned h, mi, s, f;
            util()->decodeTime(load<ISC_TIME>(p), &h, &mi, &s, &f);
            return Value(QTime(int(h), int(mi), int(s), int(f / 10)));
        }
        case SQL_BOOLEAN:
            return Value(*p != 0);
        default:
            return Value(QStringLiteral("(BLOB)"));  // no statement of the tool reads other types
    }
}
}  // namespace

std::vector<Column> describeColumns(IMessageMetadata* meta) {
    ThrowStatus st;
    const unsigned count = meta->getCount(&st);
    std::vector<Column> columns;
    columns.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        const char* alias = meta->getAlias(&st, i);
        const char* field = meta->getField(&st, i);
        Column c;
        c.name = QString::fromUtf8(alias && *alias ? alias : field).trimmed();
        c.type = meta->getType(&st, i) & ~1u;
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.length = meta->getLength(&st, i);
        c.charSet = meta->getCharSet(&st, i);
        c.scale = meta->getScale(&st, i);
        columns.push_back(c);
    }
    return columns;
}

Value decodeColumn(const unsigned char* row, const Column& c) {
    return load<ISC_SHORT>(row + c.nullOffset)
               ? Value()
               : decode(row, c.type, c.offset, c.length, c.charSet, c.scale);
}

void InputMessage::build(const std::vector<bool>& dateTime) {
    ThrowStatus st;
    const unsigned n = unsigned(dateTime.size());
    Ref<IMetadataBuilder> builder(master()->getMetadataBuilder(&st, n));
    for (unsigned i = 0; i < n; ++i) {
        builder->setType(&st, i, (dateTime[i] ? SQL_TIMESTAMP : SQL_LONG) + 1);
        builder->setLength(&st, i, dateTime[i] ? sizeof(ISC_TIMESTAMP) : sizeof(ISC_LONG));
        builder->setScale(&st, i, 0);
    }
    Ref<IMessageMetadata> meta(builder->getMetadata(&st));
    m_offsets.resize(n);
    m_nullOffsets.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        m_offsets[i] = meta->getOffset(&st, i);
        m_nullOffsets[i] = meta->getNullOffset(&st, i);
    }
    m_buffer.assign(meta->getMessageLength(&st), 0);
    m_meta = std::move(meta);
    m_dateTime = dateTime;
}

unsigned char* InputMessage::write(const QList<Value>& values) {
    std::vector<bool> dateTime(size_t(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i) dateTime[size_t(i)] = values[i].isDateTime();
    if (!m_meta || dateTime != m_dateTime) build(dateTime);
    for (size_t i = 0; i < dateTime.size(); ++i) {
        const Value& v = values[qsizetype(i)];
        const ISC_SHORT nullFlag = v.isNull() ? -1 : 0;
        std::memcpy(m_buffer.data() + m_nullOffsets[i], &nullFlag, sizeof nullFlag);
        if (v.isNull()) continue;
        unsigned char* p = m_buffer.data() + m_offsets[i];
        if (dateTime[i]) {
            const QDateTime dt = v.asDateTime();
            ISC_TIMESTAMP ts;
            ts.timestamp_date = util()->encodeDate(
                unsigned(dt.date().year()), unsigned(dt.date().month()), unsigned(dt.date().day()));
            ts.timestamp_time = util()->encodeTime(
                unsigned(dt.time().hour()), unsigned(dt.time().minute()),
                unsigned(dt.time().second()),
                unsigned(dt.time().msec()) * 10 + unsigned(v.tenthsOfMillisecond()));
            std::memcpy(p, &ts, sizeof ts);
        } else {
            const ISC_LONG l = v.asInteger();
            std::memcpy(p, &l, sizeof l);
        }
    }
    return m_buffer.data();
}

}  // namespace fb
