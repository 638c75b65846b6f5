#include "frame/Session.h"

#include "base/Error.h"
#include "db/Backup.h"
#include "frame/Compacting.h"
#include "frame/Generators.h"
#include "frame/OtherAttachments.h"

namespace {
LoginParams targetLogin() {
    return {QStringLiteral("SYSDBA"), QStringLiteral("vlemtrasq"), QStringLiteral("WIN1252"), 3};
}

}  // namespace

QString falhaConexaoLimpeza() {
    return QStringLiteral(
        "Falha durante tentativa de Conexão com o Banco de Dados.\r\n"
        "Verifique se o Caminho está correto.\r\n");
}

QString falhaConexao() {
    return QStringLiteral(
        "Falha durante Tentativa de Conexão com o Banco de Dados.\r\n"
        "Verifique se o Caminho está Correto.\r\n");
}

Session::Session(OperationView& view, Dialogs& dialogs)
    : DB_GERAL(targetLogin()),
      TR_GERAL(DB_GERAL),
      QRY_GERAL(DB_GERAL, TR_GERAL),
      QRY_GERAL2(DB_GERAL, TR_GERAL),
      QRY_GERAL3(DB_GERAL, TR_GERAL),
      m_frameQuery(DB_GERAL, TR_GERAL),
      m_view(view),
      m_dialogs(dialogs) {
    TR_GERAL.allowChanges(false);
}

bool Session::IniciarOperacao(const QString& failureText) {
    beginFrame();
    if (m_options && m_options->simulate) enterSimulation();
    return ConectarBanco(failureText) && othersMayStay();
}

bool Session::ConectarBanco(const QString& failureText) {
    try {
        if (DB_GERAL.isConnected()) DB_GERAL.close();
        DB_GERAL.setConnectionString(m_view.databasePath());
        DB_GERAL.open();
        TR_GERAL.start();
        return true;
    } catch (...) {
        RegistrarLog(failureText + errorMessage(std::current_exception()));
    }
    return false;
}

void Session::enterSimulation() {
    TR_GERAL.holdCommits(true);
    RegistrarLog(simulationHeader());
}

bool Session::othersMayStay() {
    QList<OtherAttachment> others;
    m_othersSeen.clear();
    try {
        others = otherAttachments(QRY_GERAL);
    } catch (...) {
        // Not knowing who else is connected is reason enough not to start.
        RegistrarLog(QStringLiteral("Não foi possível verificar as outras conexões ao banco de "
                                    "dados; nada foi alterado.\r\n") +
                     errorMessage(std::current_exception()));
        return false;
    }
    for (const OtherAttachment& a : others) m_othersSeen.insert(a.id);
    if (others.isEmpty() ||
        m_dialogs.confirm(otherAttachmentsQuestion(others), Dialogs::Default::No))
        return true;
    RegistrarLog(otherAttachmentsRefused());
    return false;
}

bool Session::othersJoinedDuringCopy() {
    // A copy takes minutes: who is connected is read again right before the first statement.
    QList<OtherAttachment> others;
    try {
        // The monitoring tables keep the snapshot of their first read until the transaction
        // ends; nothing has been changed yet, so ending it loses nothing.
        TR_GERAL.commit();
        others = otherAttachments(QRY_GERAL);
    } catch (...) {
        RegistrarLog(QStringLiteral("Não foi possível verificar de novo as outras conexões ao "
                                    "banco de dados depois da cópia de segurança; nada foi "
                                    "alterado.\r\n") +
                     errorMessage(std::current_exception()));
        return true;
    }
    bool newcomer = false;
    for (const OtherAttachment& a : others) newcomer = newcomer || !m_othersSeen.contains(a.id);
    if (!newcomer) return false;
    for (const OtherAttachment& a : others) m_othersSeen.insert(a.id);
    if (m_dialogs.confirm(otherAttachmentsJoinedQuestion(others), Dialogs::Default::No))
        return false;
    RegistrarLog(otherAttachmentsJoinedRefused());
    return true;
}

void Session::checkGenerators() {
    if (m_report.generatorsUnchecked) return;
    try {
        if (m_report.connectionLost) throw AppError(QString());
        m_report.generatorsMoved =
            movedGenerators(m_generatorsBefore, generatorValues(m_frameQuery));
    } catch (...) {
        m_report.generatorsUnchecked = true;
    }
}

RunAnswer Session::confirmRun(Dialogs& dialogs, const QString& question, bool offerCompaction) {
    const RunAnswer answer =
        dialogs.confirmRun(question, m_backupTicked,
                           offerCompaction ? std::optional<bool>(m_compactTicked) : std::nullopt);
    m_backupTicked = answer.backup;
    if (offerCompaction) m_compactTicked = answer.compact;
    return answer;
}

QString Session::lastSafetyCopy(const QString& connectionString) const {
    return backup::serviceManager(connectionString) == m_lastCopyServer ? m_lastCopy : QString();
}

bool Session::prepareChanges(const RunOptions& options) {
    if (options.simulate) {
        if (!simulating()) enterSimulation();
        try {
            m_generatorsBefore = generatorValues(m_frameQuery);
        } catch (...) {
            m_report.generatorsUnchecked = true;
        }
    } else if (options.backup && (!makeSafetyCopy() || othersJoinedDuringCopy())) {
        return false;
    }
    m_changing = true;
    TR_GERAL.allowChanges(true);
    return true;
}

bool Session::makeSafetyCopy() {
    const QString status = QStringLiteral("Fazendo a cópia de segurança do banco de dados...");
    setStatus(status);
    AtualizarTela();
    QElapsedTimer shown;
    shown.start();
    try {
        const BackupResult copy = makeBackup(DB_GERAL, [&](const QString& line) {
            // Thousands of lines: the status shows the latest when the window is refreshed.
            if (shown.elapsed() < 50 && !line.isEmpty()) return;
            shown.restart();
            if (!line.isEmpty()) setStatus(status + QLatin1Char(' ') + line);
            AtualizarTela();
        });
        RegistrarLog(QStringLiteral("Cópia de segurança gravada em %1 (%2).")
                         .arg(copy.file, duration(copy.milliseconds)));
        m_lastCopyServer = backup::serviceManager(DB_GERAL.connectionString());
        m_lastCopy = copy.file;
        return true;
    } catch (...) {
        RegistrarLog(QStringLiteral("Falha ao fazer a cópia de segurança: a operação não foi "
                                    "executada e nada foi alterado no banco de dados.\r\n") +
                     errorMessage(std::current_exception()));
        return false;
    }
}

void Session::FinalizarOperacao() {
    m_view.enableOperationControls();
    m_view.setHourglass(false);
    m_view.setStatus(QStringLiteral("Fim de Processamento..."));
    m_generatorsBefore.clear();
    m_frameQuery.unprepare();
    QRY_GERAL.unprepare();
    QRY_GERAL2.unprepare();
    QRY_GERAL3.unprepare();
    if (simulating()) {
        // Nothing of a simulation may stay: undone here, or discarded by the server with the
        // connection.
        const bool undone = TR_GERAL.rollback();
        TR_GERAL.holdCommits(false);
        if (!undone || m_report.connectionLost) RegistrarLog(simulationConnectionLost());
    } else if (m_report.connectionLost) {
        TR_GERAL.rollback();  // nothing can reach the server: the handle is let go
    } else {
        try {
            if (TR_GERAL.isActive()) TR_GERAL.commit();
        } catch (...) {
            // What could not be committed is lost either way; the connection must not outlive
            // the operation.
            DB_GERAL.close();
            throw;
        }
    }
    if (DB_GERAL.isConnected()) DB_GERAL.close();
}

void Session::endFrame(std::exception_ptr failure) {
    const bool simulation = simulating();
    const bool summary = m_changing;
    const bool compact = m_options && m_options->compact && m_changing && !simulation && !failure;
    if (simulation && summary) checkGenerators();  // before the rollback, while connected
    m_report.endedByError = bool(failure);
    if (failure && fb::connectionLost(failure)) m_report.connectionLost = true;
    m_options.reset();
    m_changing = false;
    TR_GERAL.allowChanges(false);
    try {
        FinalizarOperacao();
    } catch (...) {
        m_report.finalWriteFailed = true;
        if (summary) RegistrarLog(summaryLine(m_report, simulation, m_clock.elapsed()));
        throw;
    }
    if (summary) RegistrarLog(summaryLine(m_report, simulation, m_clock.elapsed()));
    if (compact) compactAfterTheRun();
}

void Session::compactAfterTheRun() {
    // Only a database the run left as it meant to is worth a compact copy.
    if (m_report.failures > 0 || m_report.stopped || m_stopRequested || m_report.connectionLost) {
        RegistrarLog(
            QStringLiteral("O banco não foi compactado: a operação teve falhas ou foi "
                           "parada."));
        return;
    }
    // The run's connection is closed; the compaction works on attachments of its own.
    m_view.disableOperationControls();
    m_view.setHourglass(true);
    struct Idle {
        OperationView& view;
        ~Idle() {
            view.enableOperationControls();
            view.setHourglass(false);
            view.setStatus(QStringLiteral("Fim de Processamento..."));
        }
    } idle{m_view};
    compactAfterRun(*this);
}

void Session::beginFrame() {
    m_clock.start();
    m_report = {};
    m_changing = false;
    m_stopRequested = false;
    m_stepsDone = m_stepTotal = 0;
    m_lastStep.clear();
    m_view.disableOperationControls();
    m_view.clearLog();
    m_view.setHourglass(true);
}

void Session::endServiceFrame() {
    m_inService = false;
    m_view.enableOperationControls();
    m_view.setHourglass(false);
    m_view.setStatus(QStringLiteral("Fim de Processamento..."));
}

void Session::ExecutarComando(const QString& sql, Commit variant) {
    // After a lost connection a step's remaining statements would only fail the same way.
    if (m_report.connectionLost) return;
    m_view.setStatus(QStringLiteral("Executando Comando : ") + sql);
    AtualizarTela();
    try {
        QRY_GERAL.close();
        QRY_GERAL.setSql(sql);
        QRY_GERAL.execSql();
        if (variant == Commit::EachStatement) {
            const qint64 rows = QRY_GERAL.rowsAffected();
            if (TR_GERAL.isActive()) TR_GERAL.commit();
            ++m_report.statements;
            m_report.rowsChanged += qMax<qint64>(rows, 0);
            if (simulating()) RegistrarLog(simulatedChange(rows, sql));
        }
    } catch (...) {
        countFailure(m_report, std::current_exception());
        RegistrarLog(QStringLiteral("Falha na execução do Comando:\r\n") + sql +
                     QStringLiteral("\r\n") + errorMessage(std::current_exception()));
    }
}

void Session::RegistrarLog(const QString& text) { m_view.appendLog(text); }

void Session::RegistrarSeparador() { m_view.appendLog(QString(97, QLatin1Char('-'))); }

void Session::AtualizarTela() { m_view.refresh(); }

void Session::setStepTotal(int total) {
    m_stepTotal = total;
    m_view.showProgress(m_stepsDone, m_stepTotal);
}

void Session::notPrepared() {
    // A step before prepareChanges would skip the simulation or the safety copy.
    throw AppError(QStringLiteral("Operação interrompida: as alterações não foram preparadas."));
}

bool Session::stopHere(const QString& next) {
    m_report.stopped = true;
    const QString who =
        simulating() ? QStringLiteral("Simulação parada") : QStringLiteral("Operação parada");
    const QString upcoming = QStringLiteral("O próximo seria o passo %1 de %2: %3")
                                 .arg(m_stepsDone + 1)
                                 .arg(m_stepTotal)
                                 .arg(next);
    // The stop ends at a commit: what ran since the last one is undone, never half kept.
    QString boundary;
    if (!simulating()) {
        const int undone = TR_GERAL.uncommitted();
        if (undone > 0 && TR_GERAL.rollback())
            boundary = undone == 1 ? QStringLiteral(
                                         " O comando executado desde a última gravação foi "
                                         "desfeito; nenhuma tabela ficou pela metade.")
                                   : QStringLiteral(
                                         " Os %1 comandos executados desde a última gravação "
                                         "foram desfeitos; nenhuma tabela ficou pela metade.")
                                         .arg(undone);
        else if (undone == 0 && m_stepsDone > 0)
            boundary = QStringLiteral(" Tudo o que foi executado até aqui já estava gravado.");
    }
    if (m_stepsDone == 0)
        RegistrarLog(who + QStringLiteral(" pelo usuário antes do primeiro passo. ") + upcoming +
                     boundary);
    else
        RegistrarLog(who +
                     QStringLiteral(" pelo usuário após o passo %1 de %2: %3. ")
                         .arg(m_stepsDone)
                         .arg(m_stepTotal)
                         .arg(m_lastStep) +
                     upcoming + boundary);
    return false;
}

bool Session::lostHere() {
    const int left = qMax(0, m_stepTotal - m_stepsDone);
    RegistrarLog(QStringLiteral("A conexão com o banco de dados foi perdida no passo %1 de %2; ")
                     .arg(m_stepsDone)
                     .arg(m_stepTotal) +
                 (left == 1
                      ? QStringLiteral("o passo seguinte não foi executado")
                      : QStringLiteral("os %1 passos seguintes não foram executados").arg(left)) +
                 (simulating() ? QStringLiteral(".")
                               : QStringLiteral(", e o que ainda não havia sido gravado foi "
                                                "descartado pelo servidor.")));
    return false;
}
