#include "support/RunLog.h"

namespace runlog {

QStringList purgedTables(const QStringList& log) {
    QStringList out;
    for (const QString& e : log)
        if (e.endsWith(QLatin1String(" )"))) out << e.section(QLatin1Char(' '), 0, 0);
    return out;
}

namespace {
bool isSummary(const QString& e) {
    return e.startsWith(QLatin1String("Resumo: ")) ||
           e.startsWith(QStringLiteral("Resumo da simulação: "));
}
}  // namespace

QStringList failures(const QStringList& log) {
    QStringList out;
    for (const QString& e : log)
        if (e != kSeparator && !e.endsWith(QLatin1String(" )")) && !isSummary(e)) out << e;
    return out;
}

QString summary(const QStringList& log) {
    return !log.isEmpty() && isSummary(log.last()) ? log.last() : QString();
}

QStringList body(const QStringList& log) {
    return summary(log).isEmpty() ? log : log.mid(0, log.size() - 1);
}

QStringList commands(const QStringList& statuses) {
    const QString prefix = QStringLiteral("Executando Comando : ");
    QStringList out;
    for (const QString& s : statuses)
        if (s.startsWith(prefix)) out << s.mid(prefix.size());
    return out;
}

std::string lines(const QStringList& l) { return l.join(QLatin1Char('\n')).toStdString(); }

QStringList keys(std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* n : names) out << QString::fromLatin1(n);
    return out;
}

}  // namespace runlog
