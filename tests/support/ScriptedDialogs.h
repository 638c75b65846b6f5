#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "db/Dialogs.h"

// Dialogs answered from a script. A dialog with no answer left is refused (no, cancel).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "confirm", "input", "message", "error"
        QString text;  // the question, prompt or message
        QString caption;
    };

    QList<bool> confirmAnswers;
    QStringList inputAnswers;
    QList<Shown> shown;
    std::function<void(const Shown&)> onShow;  // runs while the dialog is up

    bool confirm(const QString& text) override;
    QString input(const QString& caption, const QString& prompt) override;
    void message(const QString& text) override;
    void error(const QString& text) override;

    QStringList texts(const QString& kind) const;
    QStringList errors() const { return texts(QStringLiteral("error")); }
    QStringList messages() const { return texts(QStringLiteral("message")); }

private:
    void record(const Shown& s);
};
