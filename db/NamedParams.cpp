#include "db/NamedParams.h"

namespace {
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Index just past the quoted run that starts at i (doubled quotes stay inside it).
qsizetype skipQuoted(const QString& s, qsizetype i) {
    const QChar q = s[i];
    for (++i; i < s.size(); ++i) {
        if (s[i] != q) continue;
        if (i + 1 < s.size() && s[i + 1] == q) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}
}  // namespace

PositionalSql toPositional(const QString& sql) {
    PositionalSql out;
    out.sql.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            end = skipQuoted(sql, i);
        } else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('-')) {
            end = sql.indexOf(QLatin1Char('\n'), i);
            end = end < 0 ? sql.size() : end;
        } else if (c == QLatin1Char('/') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('*')) {
            end = sql.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? sql.size() : end + 2;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && isNameChar(sql[i + 1])) {
            end = i + 1;
            while (end < sql.size() && isNameChar(sql[end])) ++end;
            out.names.append(sql.mid(i + 1, end - i - 1).toUpper());
            out.sql.append(QLatin1Char('?'));
            i = end;
            continue;
        }
        out.sql.append(QStringView(sql).mid(i, end - i));
        i = end;
    }
    return out;
}
