#pragma once

#include <QString>

// What a long operation needs from the window, so that operations run and are tested without
// widgets.
class OperationView {
public:
    virtual ~OperationView() = default;

    virtual QString databasePath() const = 0;
    // Disables the controls that must not be used while an operation runs, in their fixed order.
    virtual void disableOperationControls() = 0;
    // Brings them back to the idle state of the chosen database kind.
    virtual void enableOperationControls() = 0;
    virtual void setHourglass(bool on) = 0;

    virtual void clearLog() = 0;
    // One entry; line breaks inside it start new lines of the pane.
    virtual void appendLog(const QString& entry) = 0;
    virtual void setStatus(const QString& text) = 0;
    // Steps done of the operation's total, after each step.
    virtual void showProgress(int done, int total) = 0;

    // Brings the window forward, repaints it and processes pending input.
    virtual void refresh() = 0;
    virtual void processPendingEvents() = 0;
};
