#include "app/ErrorBox.h"

#include "db/Error.h"

void showUncaughtError(Dialogs& dialogs, std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = errorMessage(e);
    } catch (...) {
        text = QStringLiteral("Erro desconhecido");
    }
    dialogs.error(withFinalStop(text));
}
