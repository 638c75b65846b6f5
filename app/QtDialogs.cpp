#include "app/QtDialogs.h"

#include <QCheckBox>
#include <QFileDialog>
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

RunAnswer QtDialogs::confirmRun(const QString& text, bool backupTicked) {
    Question q(m_parent, text);
    QPushButton* simulate = q.box.addButton(QStringLiteral("Si&mular"), QMessageBox::ActionRole);
    simulate->setToolTip(QStringLiteral(
        "Executa os mesmos comandos e desfaz tudo ao final: mostra o que seria feito, sem gravar "
        "nada no banco de dados"));
    auto* backup =
        new QCheckBox(QStringLiteral("Fazer uma cópia de segurança antes (recomendado)"));
    backup->setChecked(backupTicked);
    q.box.setCheckBox(backup);
    q.box.setDefaultButton(q.yes);
    const QAbstractButton* clicked = q.ask();
    RunAnswer answer;
    answer.backup = backup->isChecked();
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

QString QtDialogs::input(const QString& caption, const QString& prompt) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    if (auto* label = dialog.findChild<QLabel*>()) label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(QString());
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
