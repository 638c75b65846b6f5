#include "db/Value.h"

#include <cmath>
#include <limits>

#include "base/Error.h"

namespace {
template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

QString scaledText(qint64 v, int scale) {
    if (scale >= 0) return QString::number(v);
    const bool negative = v < 0;
    QString digits = QString::number(negative ? -(v + 1) + 1 : v);  // no overflow for the minimum
    const int places = -scale;
    while (digits.size() <= places) digits.prepend(QLatin1Char('0'));
    digits.insert(digits.size() - places, QLatin1Char('.'));
    return negative ? QLatin1Char('-') + digits : digits;
}
}  // namespace

// Database date-times carry no zone; UTC keeps them clear of daylight-saving gaps.
QDateTime Value::zeroDateTime() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC); }

QString Value::asString() const {
    return std::visit(
        Overloaded{
            [](std::monostate) { return QString(); },
            [this](qint64 v) { return scaledText(v, m_scale); },
            [](double v) { return QString::number(v, 'g', 15); },
            [](const QString& v) { return v; },
            [](const QDateTime& v) { return v.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); },
            [](const QDate& v) { return v.toString(QStringLiteral("yyyy-MM-dd")); },
            [](const QTime& v) { return v.toString(QStringLiteral("HH:mm:ss")); },
            [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); },
        },
        m_data);
}

qint64 Value::asInt64() const {
    return std::visit(
        Overloaded{
            [](std::monostate) -> qint64 { return 0; },
            [this](qint64 v) -> qint64 {
                qint64 r = v;
                for (int i = m_scale; i < 0; ++i) r /= 10;
                return r;
            },
            [](double v) -> qint64 { return qint64(std::llround(v)); },
            [](const QString& v) -> qint64 {
                bool ok = false;
                const qint64 r = v.trimmed().toLongLong(&ok);
                if (!ok) throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(v));
                return r;
            },
            [](const QDateTime&) -> qint64 {
                throw AppError(QStringLiteral("Data não pode ser lida como inteiro"));
            },
            [](const QDate&) -> qint64 {
                throw AppError(QStringLiteral("Data não pode ser lida como inteiro"));
            },
            [](const QTime&) -> qint64 {
                throw AppError(QStringLiteral("Hora não pode ser lida como inteiro"));
            },
            [](bool v) -> qint64 { return v ? 1 : 0; },
        },
        m_data);
}

int Value::asInteger() const {
    const qint64 v = asInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw AppError(QStringLiteral("O valor %1 não cabe em um inteiro de 32 bits").arg(v));
    return int(v);
}

QDateTime Value::asDateTime() const {
    if (isNull()) return zeroDateTime();
    if (const auto* dt = std::get_if<QDateTime>(&m_data)) return *dt;
    if (const auto* d = std::get_if<QDate>(&m_data)) return QDateTime(*d, QTime(0, 0), Qt::UTC);
    if (const auto* t = std::get_if<QTime>(&m_data))
        return QDateTime(zeroDateTime().date(), *t, Qt::UTC);
    throw AppError(QStringLiteral("'%1' is not a valid date and time").arg(asString()));
}

QVariant Value::toVariant() const {
    if (isNull()) return {};
    if (std::holds_alternative<QString>(m_data)) return std::get<QString>(m_data);
    if (const auto* i = std::get_if<qint64>(&m_data)) {
        if (m_scale < 0) return asString();
        return *i;
    }
    if (const auto* d = std::get_if<double>(&m_data)) return *d;
    if (const auto* dt = std::get_if<QDateTime>(&m_data)) return *dt;
    if (const auto* d = std::get_if<QDate>(&m_data)) return *d;
    if (const auto* t = std::get_if<QTime>(&m_data)) return *t;
    return std::get<bool>(m_data);
}
