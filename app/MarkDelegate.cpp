#include "app/MarkDelegate.h"

#include <QPainter>

#include "app/CatalogueModel.h"
#include "app/MarkImages.h"

void MarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != CatalogueModel::MarkColumn || index.model()->rowCount() == 0) return;
    const QString mark = index.data(CatalogueModel::MarkRole).toString();
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(option.rect.topLeft() + QPoint(12, 0), marks::forMark(mark, dpr));
}
