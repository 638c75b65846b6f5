#include "frame/RunReport.h"

#include <QLocale>

#include "db/FbClient.h"

namespace {
const QLocale& brazil() {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

QString count(qint64 n, const char* one, const char* many) {
    return brazil().toString(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
}
}  // namespace

QString duration(qint64 ms) {
    if (ms < 60000) return brazil().toString(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
    const qint64 s = (ms + 500) / 1000;
    return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString summaryLine(const RunReport& r, bool simulation, qint64 ms) {
    QString done;
    if (r.kind == RunReport::Kind::Cleanup)
        done = simulation ? count(r.tables, "tabela seria limpa", "tabelas seriam limpas")
                          : count(r.tables, "tabela limpa", "tabelas limpas");
    else
        done = simulation
                   ? count(r.statements, "comando seria executado", "comandos seriam executados")
                   : count(r.statements, "comando executado", "comandos executados");
    done += r.kind == RunReport::Kind::Cleanup
                ? QStringLiteral(" (") +
                      count(r.rowsDeleted, "registro excluído", "registros excluídos") +
                      QLatin1Char(')')
                : QStringLiteral(" (") +
                      count(r.rowsChanged, "registro alterado", "registros alterados") +
                      QLatin1Char(')');
    QString line =
        (simulation ? QStringLiteral("Resumo da simulação: ") : QStringLiteral("Resumo: ")) + done +
        QStringLiteral(", ") +
        (simulation ? count(r.failures, "comando falharia", "comandos falhariam")
                    : count(r.failures, "falha", "falhas"));
    if (r.stopped) line += QStringLiteral(", parada pelo usuário");
    if (r.connectionLost) line += QStringLiteral(", a conexão com o banco de dados foi perdida");
    if (r.endedByError) line += QStringLiteral(", encerrada por um erro");
    if (r.finalWriteFailed) line += QStringLiteral(", a gravação final falhou");
    line += QStringLiteral("; duração ") + duration(ms) + QLatin1Char('.');
    if (simulation && !r.generatorsMoved.isEmpty())
        line += QStringLiteral(
                    " Nada foi gravado nas tabelas, mas %1 avançado pelos gatilhos "
                    "durante a simulação, e a simulação não o desfaz: %2.")
                    .arg(r.generatorsMoved.size() == 1
                             ? QStringLiteral("um generator foi")
                             : QStringLiteral("%1 generators foram").arg(r.generatorsMoved.size()),
                         r.generatorsMoved.join(QStringLiteral(", ")));
    else if (simulation && r.generatorsUnchecked)
        line += QStringLiteral(
            " Nada foi gravado nas tabelas; não foi possível conferir se algum "
            "generator foi avançado pelos gatilhos.");
    else if (simulation)
        line += QStringLiteral(" Nada foi gravado no banco de dados.");
    return line;
}

void countFailure(RunReport& report, std::exception_ptr error) {
    ++report.failures;
    if (fb::connectionLost(error)) report.connectionLost = true;
}

QString simulationHeader() {
    return QStringLiteral(
        "Simulação: os comandos são executados e desfeitos ao final; nada será gravado no banco "
        "de dados.");
}

QString simulatedChange(qint64 rows, const QString& statement) {
    return QStringLiteral("Simulação: ") +
           (rows == 1 ? QStringLiteral("1 registro seria alterado por: ")
                      : QStringLiteral("%1 registros seriam alterados por: ")
                            .arg(brazil().toString(qMax<qint64>(rows, 0)))) +
           statement;
}

QString simulatedMessage(const QString& message) {
    return QStringLiteral("Simulação: ao final seria exibida a mensagem \"") + message +
           QStringLiteral("\"");
}

QString simulationConnectionLost() {
    return QStringLiteral(
        "Simulação: a conexão com o banco de dados foi perdida; o servidor descarta o que a "
        "simulação fez.");
}
