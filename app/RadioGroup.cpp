#include "app/RadioGroup.h"

#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 2, 8, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group.addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
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
