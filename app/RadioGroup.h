#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A captioned group of radio buttons laid out in columns, chosen by index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
    int itemIndex() const { return m_group.checkedId(); }
    // Does not emit clicked(): only the user's choice does.
    void setItemIndex(int index);

signals:
    void clicked();

private:
    QButtonGroup m_group;
    int m_last = -1;
};
