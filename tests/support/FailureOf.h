#pragma once

#include <QString>
#include <functional>

#include "base/Error.h"

// The text of what f throws, or "(no error)".
inline QString failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return errorMessage(e);
    }
    return QStringLiteral("(no error)");
}
