#pragma once

#include <QString>
#include <optional>

// The answer to a question that starts an operation which changes the database.
struct RunAnswer {
    enum class Choice { No, Yes, Simulate };
    Choice choice = Choice::No;
    // The check box "Fazer uma cópia de segurança antes (recomendado)".
    bool backup = false;
    // The check box "Com&pactar o banco ao final (cópia e restauração)", of the cleanup's question.
    bool compact = false;
};

// Every modal dialog the tool shows; tests answer them, production shows real ones.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    enum class Default { Yes, No };
    // Question with "&Sim" and "&Não"; true only for "&Sim".
    virtual bool confirm(const QString& text, Default defaultButton = Default::Yes) = 0;
    // Question with "&Sim", "Si&mular" and "&Não" ("&Sim" the default), and the backup check box
    // ticked as given; with compactTicked, the compaction's check box below it, ticked as given.
    virtual RunAnswer confirmRun(const QString& text, bool backupTicked,
                                 std::optional<bool> compactTicked = std::nullopt) = 0;
    // Text input with "OK" and "Cancelar", holding proposed at first; "Cancelar" or closing gives
    // the empty text.
    virtual QString input(const QString& caption, const QString& prompt,
                          const QString& proposed = QString()) = 0;
    // Plain message with one "OK" button and the application title.
    virtual void message(const QString& text) = 0;
    // Error box: stop icon, one "OK" button, the application title.
    virtual void error(const QString& text) = 0;
    // Where to save a file, proposing a path; the empty text when cancelled.
    virtual QString saveFileName(const QString& caption, const QString& proposedPath,
                                 const QString& filter) = 0;
    // Which existing file to open, starting in folder; the empty text when cancelled.
    virtual QString openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
};

// The error box's full stop: added when the message's last character sorts above '.'.
QString withFinalStop(const QString& message);
