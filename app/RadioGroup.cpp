#include "app/RadioGroup.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), m_columns(qMax(columns, 1)) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 2, 8, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group.addButton(button, i);
        grid->addWidget(button, i / m_columns, i % m_columns);
    }
    for (int c = 0; c < m_columns; ++c) grid->setColumnStretch(c, 1);  // cells of equal width
    // Clicking the item already chosen changes nothing, so it reports nothing.
    connect(&m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == m_last) return;
        m_last = id;
        emit clicked();
    });
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* b = m_group.button(index)) {
        b->setChecked(true);
        m_last = index;
    }
}

int RadioGroup::itemAt(QPoint pos) const {
    const QRect inside = contentsRect();
    const int count = int(m_group.buttons().size());
    const int rows = (count + m_columns - 1) / m_columns;
    if (!inside.contains(pos) || rows == 0) return -1;
    const int column = (pos.x() - inside.left()) * m_columns / inside.width();
    const int row = (pos.y() - inside.top()) * rows / inside.height();
    const int index = row * m_columns + column;
    return index < count ? index : -1;
}

// A press the button itself does not take (outside its circle and caption) reaches the box.
void RadioGroup::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : -1;
    if (m_pressed < 0) QGroupBox::mousePressEvent(event);
}

void RadioGroup::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = m_pressed;
    m_pressed = -1;
    QAbstractButton* b = m_group.button(pressed);
    if (event->button() != Qt::LeftButton || !b || itemAt(event->position().toPoint()) != pressed) {
        QGroupBox::mouseReleaseEvent(event);
        return;
    }
    b->setFocus(Qt::MouseFocusReason);
    b->click();
}
