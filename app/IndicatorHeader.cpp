#include "app/IndicatorHeader.h"

#include <QEvent>
#include <QStyleOptionHeader>

#include "app/CatalogueModel.h"

IndicatorHeader::IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
    // As the grid's own header: a click on it chooses the row.
    setSectionsClickable(true);
    setHighlightSections(true);
}

QSize IndicatorHeader::sizeHint() const {
    if (!m_hint.isValid()) {
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.text = CatalogueModel::indicator();
        const QSize text = fontMetrics().size(0, opt.text);
        m_hint = style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, text, this);
        m_hint.setHeight(defaultSectionSize());
    }
    return m_hint;
}

void IndicatorHeader::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_hint = QSize();
    QHeaderView::changeEvent(event);
}
