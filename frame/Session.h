#pragma once

#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QString>
#include <optional>

#include "base/Dialogs.h"
#include "db/Database.h"
#include "frame/OperationView.h"
#include "frame/RunOptions.h"
#include "frame/RunReport.h"

// Committing variant: every statement that succeeds is committed on its own.
enum class Commit { EachStatement, None };

// Connection-failure texts the operations hand to the frame.
QString falhaConexaoLimpeza();  // the cleanup run's own wording
QString falhaConexao();         // the removals' wording

// The window's database components and the services every long operation shares: the frame
// around an operation, the command runner, the log, and what goes beyond a plain run (simulation,
// the check for other programs, the safety copy, progress, a stop and the summary).
class Session {
public:
    Session(OperationView& view, Dialogs& dialogs);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Database DB_GERAL;
    Transaction TR_GERAL;
    Query QRY_GERAL;
    Query QRY_GERAL2;
    Query QRY_GERAL3;

    // True from the start of a frame to its end; no second operation may start meanwhile.
    bool running() const { return m_running; }
    bool simulating() const { return TR_GERAL.commitsHeld(); }

    // Runs body inside the frame: the end of the frame runs on every way out, and an error that
    // escapes body continues to the caller after it. Body runs once connected and no other
    // program stands in the way; it calls prepareChanges before its first step. Options known
    // before the frame let a simulation say so from the log's first line. Returns false when
    // another operation was already running and nothing was done.
    template <class Body>
    bool runOperation(const QString& failureText, Body&& body);
    template <class Body>
    bool runOperation(const QString& failureText, const RunOptions& options, Body&& body);
    // The same frame for work on the database's files through the server's services, which
    // needs no connection of the run's own.
    template <class Body>
    bool runServiceOperation(Body&& body);

    // Once the operation knows what it will do: a simulation holds every commit until the
    // rollback at the end; a real run with the backup ticked makes the safety copy first. False
    // when the copy failed: nothing may be changed then.
    bool prepareChanges(const RunOptions& options);

    bool IniciarOperacao(const QString& failureText);
    bool ConectarBanco(const QString& failureText);
    void FinalizarOperacao();
    void ExecutarComando(const QString& sql, Commit variant);
    void RegistrarLog(const QString& text);
    void RegistrarSeparador();
    void AtualizarTela();

    // Steps of the running operation, for its progress and a safe stop between them.
    void setStepTotal(int total);
    int stepsDone() const { return m_stepsDone; }
    // Runs one step, unless a stop was asked: then it undoes what ran since the last commit, so
    // that no table is left half done, logs where the operation stopped and returns false, and
    // the operation must end. False too after a step that lost the connection.
    template <class Step>
    bool runStep(const QString& description, Step&& step);
    void requestStop() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }
    // While a service works on the database's files: a stop cancels it.
    void enterServiceStep() { m_inService = true; }
    void leaveServiceStep() { m_inService = false; }
    bool inServiceStep() const { return m_inService; }
    // Asks a question that starts a run; the check boxes keep their state while the session
    // lives. Only the cleanup offers the compaction.
    RunAnswer confirmRun(const QString& question, bool offerCompaction = false) {
        return confirmRun(m_dialogs, question, offerCompaction);
    }
    RunAnswer confirmRun(Dialogs& dialogs, const QString& question, bool offerCompaction = false);
    // The last safety copy made on the server of that connection string, empty if none.
    QString lastSafetyCopy(const QString& connectionString) const;
    RunReport& report() { return m_report; }

    void setStatus(const QString& text) { m_view.setStatus(text); }
    void processPendingEvents() { m_view.processPendingEvents(); }
    OperationView& view() { return m_view; }
    Dialogs& dialogs() { return m_dialogs; }

private:
    void enterSimulation();
    bool othersMayStay();
    bool makeSafetyCopy();
    void compactAfterTheRun();
    void beginFrame();
    void endServiceFrame();
    bool stopHere(const QString& next);
    bool lostHere();
    [[noreturn]] static void notPrepared();
    void endFrame(std::exception_ptr failure);

    bool othersJoinedDuringCopy();
    void checkGenerators();

    Query m_frameQuery;  // the frame's own reads, apart from the operations' queries
    QMap<QString, qint64> m_generatorsBefore;
    QSet<qint64> m_othersSeen;
    // Set while a frame lasts, on every way out.
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    };

    OperationView& m_view;
    Dialogs& m_dialogs;
    bool m_running = false;
    std::optional<RunOptions> m_options;  // known before the frame starts
    bool m_changing = false;              // the operation got past prepareChanges
    bool m_stopRequested = false;
    bool m_backupTicked = true;
    bool m_compactTicked = false;
    bool m_inService = false;
    QString m_lastCopyServer, m_lastCopy;
    int m_stepsDone = 0;
    int m_stepTotal = 0;
    QString m_lastStep;
    QElapsedTimer m_clock;
    RunReport m_report;
};

template <class Body>
bool Session::runOperation(const QString& failureText, Body&& body) {
    if (m_running) return false;
    const Running running(m_running);
    try {
        if (IniciarOperacao(failureText)) body();
    } catch (...) {
        endFrame(std::current_exception());  // an error of its own replaces the body's
        throw;
    }
    endFrame(nullptr);
    return true;
}

template <class Body>
bool Session::runOperation(const QString& failureText, const RunOptions& options, Body&& body) {
    if (m_running) return false;
    m_options = options;
    return runOperation(failureText, std::forward<Body>(body));
}

template <class Step>
bool Session::runStep(const QString& description, Step&& step) {
    if (!m_changing) notPrepared();
    if (m_stopRequested) return stopHere(description);
    m_lastStep = description;
    step();
    m_view.showProgress(++m_stepsDone, m_stepTotal);
    // Every later step could only fail the same way.
    if (m_report.connectionLost) return lostHere();
    return true;
}

template <class Body>
bool Session::runServiceOperation(Body&& body) {
    if (m_running) return false;
    const Running running(m_running);
    beginFrame();
    try {
        body();
    } catch (...) {
        endServiceFrame();
        throw;
    }
    endServiceFrame();
    return true;
}
