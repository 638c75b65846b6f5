#include "app/Application.h"

#include "app/ErrorBox.h"
#include "app/QtDialogs.h"
#include "app/Translations.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    loadQtTranslation(m_qtTexts);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtDialogs dialogs;
        showUncaughtError(dialogs, std::current_exception());
        return false;
    }
}
