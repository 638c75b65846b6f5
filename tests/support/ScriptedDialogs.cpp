#include "support/ScriptedDialogs.h"

void ScriptedDialogs::record(const Shown& s) {
    shown << s;
    if (onShow) onShow(s);
}

bool ScriptedDialogs::confirm(const QString& text, Default defaultButton) {
    record({QStringLiteral("confirm"), text, QStringLiteral("Confirma"),
            defaultButton == Default::Yes});
    return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
}

RunAnswer ScriptedDialogs::confirmRun(const QString& text, bool backupTicked,
                                      std::optional<bool> compactTicked) {
    record({QStringLiteral("confirm"), text, QStringLiteral("Confirma"), true, backupTicked,
            compactTicked});
    if (!runAnswers.isEmpty()) return runAnswers.takeFirst();
    if (!confirmAnswers.isEmpty() && confirmAnswers.takeFirst())
        return {RunAnswer::Choice::Yes, false};
    return {};
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString& proposedPath,
                                      const QString&) {
    record({QStringLiteral("save"), proposedPath, caption});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString& folder,
                                     const QString&) {
    record({QStringLiteral("open"), folder, caption});
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedDialogs::input(const QString& caption, const QString& prompt,
                               const QString& proposed) {
    record({QStringLiteral("input"), prompt, caption, true, false, std::nullopt, proposed});
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
