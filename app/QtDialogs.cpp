#include "app/QtDialogs.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

QString applicationTitle() { return QStringLiteral("VORNIX - Limpeza do Banco de Dados"); }

bool QtDialogs::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirma"), text, QMessageBox::NoButton,
                    m_parent);
    box.setTextFormat(Qt::PlainText);  // texts carry names and paths, never markup
    QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
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
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDialogs::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
