#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

// Keeps each child's distance to the container edges its anchors name, as the container is
// resized away from the size it was laid out for.
class AnchorLayout : public QObject {
public:
    AnchorLayout(QWidget* container, QSize designSize);
    void add(QWidget* child, Qt::Edges anchors);
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        QWidget* widget;
        QRect design;
        Qt::Edges anchors;
    };
    QWidget* m_container;
    QSize m_design;
    std::vector<Item> m_items;
};
