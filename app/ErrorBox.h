#pragma once

#include <exception>

#include "base/Dialogs.h"

// The one place where an error that left a handler is shown: the error box with the final stop.
void showUncaughtError(Dialogs& dialogs, std::exception_ptr error);

// Runs a handler so that nothing it throws crosses the event loop.
template <class Handler>
void guarded(Dialogs& dialogs, Handler&& handler) {
    try {
        handler();
    } catch (...) {
        showUncaughtError(dialogs, std::current_exception());
    }
}
