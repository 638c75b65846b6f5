#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/Dialogs.h"

// Dialogs answered from a script. A dialog with no answer left is refused (no, cancel).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "confirm", "input", "message", "error", "save", "open"
        QString text;  // the question, prompt, message, proposed path or folder
        QString caption;
        bool defaultYes = true;     // of a question
        bool backupTicked = false;  // of a question that starts a run
        std::optional<bool> compactTicked = std::nullopt;  // of the cleanup's question
        QString proposed = {};                             // of a text input
    };

    // A run question takes the next run answer, or else the next plain answer (yes: a real run
    // without a backup).
    QList<RunAnswer> runAnswers;
    QList<bool> confirmAnswers;
    QStringList inputAnswers;
    QStringList saveAnswers;
    QStringList openAnswers;
    QList<Shown> shown;
    std::function<void(const Shown&)> onShow;  // runs while the dialog is up

    bool confirm(const QString& text, Default defaultButton = Default::Yes) override;
    RunAnswer confirmRun(const QString& text, bool backupTicked,
                         std::optional<bool> compactTicked = std::nullopt) override;
    QString input(const QString& caption, const QString& prompt,
                  const QString& proposed = QString()) override;
    void message(const QString& text) override;
    void error(const QString& text) override;
    QString saveFileName(const QString& caption, const QString& proposedPath,
                         const QString& filter) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;

    QStringList texts(const QString& kind) const;
    QStringList errors() const { return texts(QStringLiteral("error")); }
    QStringList messages() const { return texts(QStringLiteral("message")); }

private:
    void record(const Shown& s);
};
