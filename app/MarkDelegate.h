#pragma once

#include <QStyledItemDelegate>

// Draws each row's own mark in the "Limpar" column, 12 pixels in from the cell's left edge.
class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
