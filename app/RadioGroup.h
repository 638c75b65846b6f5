#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A captioned group of radio buttons laid out in columns, chosen by index. The inside of the box
// is split into one cell per item: a click anywhere in a cell chooses its item, not only one on
// the circle or the caption.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
    int itemIndex() const { return m_group.checkedId(); }
    // Does not emit clicked(): only the user's choice does.
    void setItemIndex(int index);
    // The item whose cell holds pos, or -1.
    int itemAt(QPoint pos) const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QButtonGroup m_group;
    int m_columns;
    int m_last = -1;
    int m_pressed = -1;
};
