#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <variant>

// One column value of a fetched row, read the way the operations need it.
class Value {
public:
    using Data =
        std::variant<std::monostate, qint64, double, QString, QDateTime, QDate, QTime, bool>;

    Value() = default;
    explicit Value(Data data, int scale = 0) : m_data(std::move(data)), m_scale(scale) {}
    // The server keeps times in tenths of a millisecond; the tenth is kept so a value read can be
    // bound back exactly.
    static Value timestamp(const QDateTime& dt, int tenthsOfMillisecond) {
        Value v{Data(dt)};
        v.m_subMillis = tenthsOfMillisecond;
        return v;
    }
    int tenthsOfMillisecond() const { return m_subMillis; }

    bool isNull() const { return std::holds_alternative<std::monostate>(m_data); }
    bool isDateTime() const { return std::holds_alternative<QDateTime>(m_data); }
    // NULL reads as the empty text.
    QString asString() const;
    // NULL reads as 0; a value outside 32 bits is an error.
    int asInteger() const;
    qint64 asInt64() const;
    // NULL reads as the zero date of the client-dataset world, 1899-12-30 00:00.
    QDateTime asDateTime() const;

    QVariant toVariant() const;

    static QDateTime zeroDateTime();

private:
    Data m_data;
    int m_scale = 0;  // negative for scaled numerics, as the server describes them
    int m_subMillis = 0;
};
