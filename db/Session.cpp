#include "db/Session.h"

#include "db/Error.h"

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

Session::Session(OperationView& view)
    : DB_GERAL(targetLogin()),
      TR_GERAL(DB_GERAL),
      QRY_GERAL(DB_GERAL, TR_GERAL),
      QRY_GERAL2(DB_GERAL, TR_GERAL),
      QRY_GERAL3(DB_GERAL, TR_GERAL),
      m_view(view) {}

bool Session::IniciarOperacao(const QString& failureText) {
    m_view.disableOperationControls();
    m_view.clearLog();
    m_view.setHourglass(true);
    return ConectarBanco(failureText);
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

void Session::FinalizarOperacao() {
    m_view.enableOperationControls();
    m_view.setHourglass(false);
    m_view.setStatus(QStringLiteral("Fim de Processamento..."));
    QRY_GERAL.unprepare();
    QRY_GERAL2.unprepare();
    QRY_GERAL3.unprepare();
    try {
        if (TR_GERAL.isActive()) TR_GERAL.commit();
    } catch (...) {
        // What could not be committed is lost either way; the connection must not outlive the
        // operation.
        DB_GERAL.close();
        throw;
    }
    if (DB_GERAL.isConnected()) DB_GERAL.close();
}

void Session::ExecutarComando(const QString& sql, Commit variant) {
    m_view.setStatus(QStringLiteral("Executando Comando : ") + sql);
    AtualizarTela();
    try {
        QRY_GERAL.close();
        QRY_GERAL.setSql(sql);
        QRY_GERAL.execSql();
        if (variant == Commit::EachStatement && TR_GERAL.isActive()) TR_GERAL.commit();
    } catch (...) {
        RegistrarLog(QStringLiteral("Falha na execução do Comando:\r\n") + sql +
                     QStringLiteral("\r\n") + errorMessage(std::current_exception()));
    }
}

void Session::RegistrarLog(const QString& text) { m_view.appendLog(text); }

void Session::RegistrarSeparador() { m_view.appendLog(QString(97, QLatin1Char('-'))); }

void Session::AtualizarTela() { m_view.refresh(); }
