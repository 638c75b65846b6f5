#pragma once

#include <QWidget>

#include "base/Dialogs.h"

QString applicationTitle();

// The real modal dialogs, with the product's own button texts.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    bool confirm(const QString& text, Default defaultButton = Default::Yes) override;
    RunAnswer confirmRun(const QString& text, bool backupTicked,
                         std::optional<bool> compactTicked = std::nullopt) override;
    QString input(const QString& caption, const QString& prompt,
                  const QString& proposed = QString()) override;
    void message(const QString& text) override;
    void error(const QString& text) override;
    QString saveFileName(const QString& caption, const QString& proposedPath,
                         const QString& filter) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;

private:
    QWidget* m_parent;
};
