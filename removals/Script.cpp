#include "removals/Script.h"

QString statementText(const ScriptStatement& s, const QString& code) {
    QString text = QString::fromLatin1(s.before);
    if (s.codes >= 1) text += code + QString::fromLatin1(s.middle);
    if (s.codes >= 2) text += code + QString::fromLatin1(s.after);
    return text;
}

bool runScript(Session& session, std::span<const ScriptStatement> script, const QString& code) {
    for (const ScriptStatement& s : script) {
        const QString sql = statementText(s, code);
        if (!session.runStep(sql, [&] { session.ExecutarComando(sql, Commit::EachStatement); }))
            return false;
    }
    return true;
}
