#include "app/AppIcon.h"
#include "app/Application.h"
#include "app/QtDialogs.h"
#include "app/uDepurix.h"

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("depurix"));
    QApplication::setWindowIcon(applicationIcon());
    QtDialogs dialogs;
    Tfrm_Depurix frm_Depurix(dialogs);
    frm_Depurix.show();
    return QApplication::exec();
}
