#pragma once

#include <QString>

// A text value as an SQL string literal: single quotes around it, inner quotes doubled.
inline QString sqlString(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
