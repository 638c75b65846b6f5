#include "app/QtDialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

QString applicationTitle() { return QStringLiteral("VORNIX - Limpeza do Banco de Dados"); }

namespace {
// Texts carry names, codes and paths, never markup.
void plainBox(QMessageBox& box, const QString& text) {
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

// The question box: "&Sim", "&Não" (also on Escape), and whatever else a question adds.
struct Question {
    Question(QWidget* parent, const QString& text)
        : box(QMessageBox::Question, QStringLiteral("Confirma"), QString(), QMessageBox::NoButton,
              parent) {
        plainBox(box, text);
        yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
        box.setEscapeButton(no);
    }
    QAbstractButton* ask() {
        box.exec();
        return box.clickedButton();
    }
    QMessageBox box;
    QPushButton* yes;
    QPushButton* no;
};
}  // namespace

bool QtDialogs::confirm(const QString& text, Default defaultButton) {
    Question q(m_parent, text);
    q.box.setDefaultButton(defaultButton == Default::Yes ? q.yes : q.no);
    return q.ask() == q.yes;
}

RunAnswer QtDialogs::confirmRun(const QString& text, bool backupTicked,
                                std::optional<bool> compactTicked) {
    Question q(m_parent, text);
    QPushButton* simulate = q.box.addButton(QStringLiteral("Si&mular"), QMessageBox::ActionRole);
    simulate->setToolTip(QStringLiteral(
        "Executa os mesmos comandos e desfaz tudo ao final: mostra o que seria feito, sem gravar "
        "nada no banco de dados"));
    auto* backup =
        new QCheckBox(QStringLiteral("Fazer uma cópia de segurança antes (recomendado)"));
    backup->setChecked(backupTicked);
    q.box.setCheckBox(backup);
    QCheckBox* compact = nullptr;
    if (compactTicked) {
        // The box has room for one check box: the second goes in the row below the first, which
        // only holds a spacer before the buttons.
        compact = new QCheckBox(QStringLiteral("Com&pactar o banco ao final (cópia e restauração)"));
        compact->setObjectName(QStringLiteral("cb_Compactar"));
        compact->setToolTip(QStringLiteral(
            "Depois de uma limpeza sem falhas, faz uma cópia do banco e a restaura num novo "
            "arquivo ao lado dele, menor; o original não é alterado"));
        compact->setChecked(*compactTicked);
        auto* grid = qobject_cast<QGridLayout*>(q.box.layout());
        int row = 0, column = 0, rows = 0, columns = 0;
        if (grid && grid->indexOf(backup) >= 0) {
            grid->getItemPosition(grid->indexOf(backup), &row, &column, &rows, &columns);
            grid->addWidget(compact, row + 1, column, 1, 1, Qt::AlignLeft);
        }
        QWidget::setTabOrder(backup, compact);
    }
    q.box.setDefaultButton(q.yes);
    const QAbstractButton* clicked = q.ask();
    RunAnswer answer;
    answer.backup = backup->isChecked();
    answer.compact = compact && compact->isChecked();
    if (clicked == q.yes)
        answer.choice = RunAnswer::Choice::Yes;
    else if (clicked == simulate)
        answer.choice = RunAnswer::Choice::Simulate;
    return answer;
}

QString QtDialogs::saveFileName(const QString& caption, const QString& proposedPath,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(m_parent, caption, proposedPath, filter);
}

QString QtDialogs::openFileName(const QString& caption, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, folder, filter);
}

QString QtDialogs::input(const QString& caption, const QString& prompt, const QString& proposed) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    if (auto* label = dialog.findChild<QLabel*>()) label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(proposed);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancelar"));
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue();
}

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), QString(), QMessageBox::Ok, m_parent);
    plainBox(box, text);
    box.exec();
}

void QtDialogs::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle(), QString(), QMessageBox::Ok,
                    m_parent);
    plainBox(box, text);
    box.exec();
}
