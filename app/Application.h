#pragma once

#include <QApplication>

// Catches whatever escapes an event handler that is not guarded itself, so nothing crosses the
// event loop.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
