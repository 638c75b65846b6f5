#include "support/SqlScript.h"

#include <QRegularExpression>

QStringList splitSqlScript(const QString& script) {
    QStringList out;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n) {
                if (script[j] == c) {
                    if (j + 1 < n && script[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            current += script.mid(i, j - i);
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            const qsizetype eol = script.indexOf(QLatin1Char('\n'), i);
            i = eol < 0 ? n : eol;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (QStringView(script).mid(i).startsWith(terminator)) {
            const QString stmt = current.trimmed();
            current.clear();
            i += terminator.size();
            static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            const auto m = setTerm.match(stmt);
            if (m.hasMatch()) {
                terminator = m.captured(1);
                continue;
            }
            if (!stmt.isEmpty()) out << stmt;
            continue;
        }
        current += c;
        ++i;
    }
    if (!current.trimmed().isEmpty()) out << current.trimmed();
    return out;
}
