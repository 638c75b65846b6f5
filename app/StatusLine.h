#pragma once

#include <QWidget>

// The status bar's text panel. A statement's text is set on it for every statement a run sends:
// setting it only marks the panel for the next paint, and never asks the status bar to lay itself
// out again, as a label does whenever its text changes.
class StatusLine : public QWidget {
public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
