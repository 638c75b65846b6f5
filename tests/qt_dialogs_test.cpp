// The real dialogs show their texts as they stand.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/QtDialogs.h"
#include "app/Translations.h"

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

// The cleanup's question adds the compaction's box below the backup's, unticked as given; Alt+P
// ticks it. The other questions have none.
TEST(QtDialogs, OnlyTheCleanupOffersTheCompactionBoxAndAltPTicksIt) {
    QtDialogs dialogs;
    for (const bool offered : {true, false}) {
        bool shown = false, ticked = true, below = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto* compact = box->findChild<QCheckBox*>(QStringLiteral("cb_Compactar"));
            shown = compact && compact->isVisible();
            if (compact) {
                EXPECT_EQ(compact->text(),
                          QStringLiteral("Com&pactar o banco ao final (cópia e restauração)"));
                ticked = compact->isChecked();
                below = compact->y() > box->checkBox()->y();
                // A mnemonic answers only in the active window.
                box->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(box));
                QTest::keyClick(box, Qt::Key_P, Qt::AltModifier);
                QTest::qWait(200);  // a mnemonic presses the button as a click does, animated
            }
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QLatin1String("&Sim")) b->click();
        });
        const RunAnswer answer =
            dialogs.confirmRun(QStringLiteral("Confirma ?"), true,
                               offered ? std::optional<bool>(false) : std::nullopt);
        EXPECT_EQ(shown, offered);
        if (!offered) continue;
        EXPECT_FALSE(ticked);
        EXPECT_TRUE(below);
        EXPECT_TRUE(answer.compact);
        EXPECT_TRUE(answer.backup);
    }
}

// Qt's own file dialog (not the desktop's), with Qt's Portuguese texts loaded as the program
// loads them.
TEST(QtDialogs, TheSaveDialogShowsNoEnglishLabel) {
    QTranslator translator;
    ASSERT_TRUE(loadQtTranslation(translator));
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->isVisible()) shown << l->text();
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->isVisible()) shown << b->text() << b->toolTip();
        for (QHeaderView* h : dialog->findChildren<QHeaderView*>())
            for (int i = 0; i < h->count(); ++i)
                shown << h->model()->headerData(i, h->orientation()).toString();
        for (QComboBox* c : dialog->findChildren<QComboBox*>())
            for (int i = 0; i < c->count(); ++i) shown << c->itemText(i);
        dialog->reject();
    });
    QtDialogs().saveFileName(QStringLiteral("Salvar o log"), QDir::tempPath(),
                             QStringLiteral("Texto (*.txt)"));
    QCoreApplication::removeTranslator(&translator);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.contains(QStringLiteral("Cancelar"))) << shown.join(u'|').toStdString();
    for (const char* english : {"Look in:", "File &name:", "Files of type:", "&Save", "Cancel", "Name", "Size", "Type", "Date Modified", "Back",
                                "Forward", "Parent Directory", "Create New Folder",
                                "List View", "Detail View"})
        EXPECT_FALSE(shown.contains(QString::fromLatin1(english)))
            << english << " in " << shown.join(u'|').toStdString();
}

}  // namespace
