#pragma once

#include <QString>
#include <exception>
#include <stdexcept>

// An error whose message is shown to the technician as it stands.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Text of any exception, for the log and the error box.
QString errorMessage(const std::exception& e);
QString errorMessage(std::exception_ptr e);
