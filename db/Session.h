#pragma once

#include <QString>

#include "db/Database.h"
#include "db/OperationView.h"

// Committing variant: every statement that succeeds is committed on its own.
enum class Commit { EachStatement, None };

// Connection-failure texts the operations hand to the frame.
QString falhaConexaoLimpeza();  // the cleanup run's own wording
QString falhaConexao();         // the removals' wording

// The window's database components and the services every long operation shares: the frame
// around an operation, the command runner and the log.
class Session {
public:
    explicit Session(OperationView& view);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Database DB_GERAL;
    Transaction TR_GERAL;
    Query QRY_GERAL;
    Query QRY_GERAL2;
    Query QRY_GERAL3;

    // True from the start of a frame to its end; no second operation may start meanwhile.
    bool running() const { return m_running; }

    // Runs body inside the frame: the end of the frame runs on every way out, and an error that
    // escapes body continues to the caller after it. Returns false when another operation was
    // already running and nothing was done.
    template <class Body>
    bool runOperation(const QString& failureText, Body&& body);

    bool IniciarOperacao(const QString& failureText);
    bool ConectarBanco(const QString& failureText);
    void FinalizarOperacao();
    void ExecutarComando(const QString& sql, Commit variant);
    void RegistrarLog(const QString& text);
    void RegistrarSeparador();
    void AtualizarTela();

    void setStatus(const QString& text) { m_view.setStatus(text); }
    void processPendingEvents() { m_view.processPendingEvents(); }
    OperationView& view() { return m_view; }

private:
    OperationView& m_view;
    bool m_running = false;
};

template <class Body>
bool Session::runOperation(const QString& failureText, Body&& body) {
    if (m_running) return false;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(m_running);
    try {
        if (IniciarOperacao(failureText)) body();
    } catch (...) {
        FinalizarOperacao();  // an error of its own replaces the body's, as the frame's end always
                              // runs
        throw;
    }
    FinalizarOperacao();
    return true;
}
