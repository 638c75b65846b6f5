#include "base/Error.h"

AppError::AppError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

QString errorMessage(const std::exception& e) {
    if (const auto* app = dynamic_cast<const AppError*>(&e)) return app->message();
    return QString::fromLocal8Bit(e.what());
}

QString errorMessage(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return errorMessage(ex);
    } catch (...) {
        return QStringLiteral("Erro desconhecido");
    }
}
