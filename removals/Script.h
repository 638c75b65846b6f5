#pragma once

#include <QString>
#include <span>

#include "frame/Session.h"

// One statement of a removal script: fixed text, or fixed text around the code of what is being
// removed, once or twice.
struct ScriptStatement {
    int codes;
    const char* before;
    const char* middle;  // between the two codes, or after the only one
    const char* after;   // after the second code
};

constexpr ScriptStatement fixed(const char* text) { return {0, text, "", ""}; }
constexpr ScriptStatement coded(const char* before, const char* after = "") {
    return {1, before, after, ""};
}
constexpr ScriptStatement codedTwice(const char* before, const char* middle, const char* after) {
    return {2, before, middle, after};
}

QString statementText(const ScriptStatement& s, const QString& code);

// Every statement in order through the committing runner, one step each; none is skipped unless
// the technician stops the run, and then false.
bool runScript(Session& session, std::span<const ScriptStatement> script, const QString& code);
