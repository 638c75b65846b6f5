#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <utility>

#include "frame/OperationView.h"

// The window as operations see it, recording what they do to it.
class FakeView : public OperationView {
public:
    QString path;
    QStringList log;       // entries, exactly as written
    QStringList statuses;  // every status text, in order
    QStringList events;    // "disable", "enable", "hourglass", "arrow", "clear"
    int refreshes = 0;
    QList<std::pair<int, int>> progress;  // steps done and total, as shown
    bool controlsEnabled = true;
    bool hourglass = false;
    std::function<void()> onRefresh;  // runs inside refresh(), as pending input would

    QString status() const { return statuses.isEmpty() ? QString() : statuses.last(); }

    QString databasePath() const override { return path; }
    void disableOperationControls() override;
    void enableOperationControls() override;
    void setHourglass(bool on) override;
    void clearLog() override;
    void appendLog(const QString& entry) override { log << entry; }
    void setStatus(const QString& text) override { statuses << text; }
    void showProgress(int done, int total) override { progress << std::pair{done, total}; }
    void refresh() override;
    void processPendingEvents() override {}
};
