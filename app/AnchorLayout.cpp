#include "app/AnchorLayout.h"

#include <QEvent>

AnchorLayout::AnchorLayout(QWidget* container, QSize designSize)
    : QObject(container), m_container(container), m_design(designSize) {
    container->installEventFilter(this);
}

void AnchorLayout::add(QWidget* child, Qt::Edges anchors) {
    m_items.push_back({child, child->geometry(), anchors});
}

void AnchorLayout::apply() {
    const int dx = m_container->width() - m_design.width();
    const int dy = m_container->height() - m_design.height();
    for (const Item& item : m_items) {
        QRect r = item.design;
        if (item.anchors & Qt::RightEdge) {
            if (item.anchors & Qt::LeftEdge)
                r.setWidth(r.width() + dx);
            else
                r.moveLeft(r.left() + dx);
        }
        if (item.anchors & Qt::BottomEdge) {
            if (item.anchors & Qt::TopEdge)
                r.setHeight(r.height() + dy);
            else
                r.moveTop(r.top() + dy);
        }
        item.widget->setGeometry(r);
    }
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_container && event->type() == QEvent::Resize) apply();
    return QObject::eventFilter(watched, event);
}
