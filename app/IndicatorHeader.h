#pragma once

#include <QHeaderView>

// The grid's row indicator column. Its width is that of the indicator itself: a header sized from
// its contents measures every row again each time the indicator moves, which a cleanup does for
// every entry it looks up.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    mutable QSize m_hint;
};
