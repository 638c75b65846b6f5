// The real dialogs show their texts as they stand.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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
        [&] { EXPECT_EQ(dialogs.confirmRun(text, true).choice, RunAnswer::Choice::No); },
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

TEST(QtDialogs, ARunQuestionOffersASimulationAndKeepsTheBackupBoxAsTicked) {
    QtDialogs dialogs;
    for (const bool ticked : {true, false}) {
        QStringList buttons;
        bool shownTicked = !ticked;
        QString defaultButton;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            defaultButton = box->defaultButton()->text();
            shownTicked = box->checkBox()->isChecked();
            EXPECT_EQ(box->checkBox()->text(),
                      QStringLiteral("Fazer uma cópia de segurança antes (recomendado)"));
            box->checkBox()->setChecked(!ticked);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QLatin1String("Si&mular")) b->click();
        });
        const RunAnswer answer = dialogs.confirmRun(QStringLiteral("Confirma ?"), ticked);
        EXPECT_EQ(shownTicked, ticked);
        EXPECT_EQ(defaultButton, QStringLiteral("&Sim"));
        EXPECT_TRUE(buttons.contains(QStringLiteral("&Sim")) &&
                    buttons.contains(QStringLiteral("&Não")))
            << buttons.join(u',').toStdString();
        EXPECT_EQ(answer.choice, RunAnswer::Choice::Simulate);
        EXPECT_EQ(answer.backup, !ticked);
    }
}

}  // namespace
