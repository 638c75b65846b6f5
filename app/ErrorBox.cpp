#include "app/ErrorBox.h"

#include "base/Error.h"

void showUncaughtError(Dialogs& dialogs, std::exception_ptr error) {
    dialogs.error(withFinalStop(errorMessage(error)));
}
