#include "app/StatusLine.h"

#include <QPainter>

namespace {
constexpr int kMargin = 2;
}

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
    // A long statement must not widen the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusLine::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    update();
}

QSize StatusLine::sizeHint() const { return {1, fontMetrics().height() + 2 * kMargin}; }

QSize StatusLine::minimumSizeHint() const { return sizeHint(); }

void StatusLine::paintEvent(QPaintEvent*) {
    if (m_text.isEmpty()) return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QRect r = rect().adjusted(kMargin, 0, -kMargin, 0);
    // One line, as a panel shows it: a statement's line breaks read as blanks.
    QString line = m_text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(line, Qt::ElideRight, r.width()));
}
