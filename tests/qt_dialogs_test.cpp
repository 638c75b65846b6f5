// The real dialogs show their texts as they stand.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <functional>

#include "app/QtDialogs.h"

namespace {

// What the labels of the next modal dialog show, read as it opens; the dialog is then refused.
class DialogReader : public QObject {
public:
    QStringList shown;

    void readNext() {
        QTimer::singleShot(0, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return readNext();
            for (QLabel* label : dialog->findChildren<QLabel*>())
                if (label->isVisible() && !label->text().isEmpty())
                    shown << QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
            dialog->reject();
        });
    }
};

TEST(QtDialogs, ShowEveryTextAsPlainText) {
    const QString text = QStringLiteral("<b>1</b> <i>/dados/VORNIX.FDB</i>");
    QtDialogs dialogs;
    const std::function<void()> open[] = {
        [&] { EXPECT_FALSE(dialogs.confirm(text)); },
        [&] { EXPECT_EQ(dialogs.input(QStringLiteral("Exclusão"), text), QString()); },
        [&] { dialogs.message(text); },
        [&] { dialogs.error(text); },
    };
    for (size_t i = 0; i < std::size(open); ++i) {
        DialogReader reader;
        reader.readNext();
        open[i]();
        EXPECT_EQ(reader.shown, QStringList{text}) << i;
    }
}

}  // namespace
