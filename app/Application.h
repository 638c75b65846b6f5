#pragma once

#include <QApplication>
#include <QTranslator>

// Catches whatever escapes an event handler that is not guarded itself, so nothing crosses the
// event loop; Qt's own dialogs speak Portuguese.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator m_qtTexts;
};
