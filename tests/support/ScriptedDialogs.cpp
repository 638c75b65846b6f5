#include "support/ScriptedDialogs.h"

void ScriptedDialogs::record(const Shown& s) {
    shown << s;
    if (onShow) onShow(s);
}

bool ScriptedDialogs::confirm(const QString& text) {
    record({QStringLiteral("confirm"), text, QStringLiteral("Confirma")});
    return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
}

QString ScriptedDialogs::input(const QString& caption, const QString& prompt) {
    record({QStringLiteral("input"), prompt, caption});
    return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
}

void ScriptedDialogs::message(const QString& text) {
    record({QStringLiteral("message"), text, {}});
}

void ScriptedDialogs::error(const QString& text) { record({QStringLiteral("error"), text, {}}); }

QStringList ScriptedDialogs::texts(const QString& kind) const {
    QStringList out;
    for (const Shown& s : shown)
        if (s.kind == kind) out << s.text;
    return out;
}
