#pragma once

#include <QWidget>

#include "db/Dialogs.h"

QString applicationTitle();

// The real modal dialogs, with the product's own button texts.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    bool confirm(const QString& text) override;
    QString input(const QString& caption, const QString& prompt) override;
    void message(const QString& text) override;
    void error(const QString& text) override;

private:
    QWidget* m_parent;
};
