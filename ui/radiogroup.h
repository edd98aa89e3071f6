#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace ui {

// A captioned group of exclusive choices laid out in columns and told apart by their index;
// itemIndex is -1 while none is chosen. Giving the group the focus puts it on the chosen
// item, or on the first one while none is chosen.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)
public:
    // The group is named name, its items name + their index.
    RadioGroup(const QString &name, const QString &title, const QStringList &items, int columns,
               QWidget *parent = nullptr);

    int itemIndex() const;
    // -1, or an index outside the items, chooses none.
    void setItemIndex(int index);
    int count() const { return int(m_items.size()); }
    QRadioButton *item(int index) const { return m_items.value(index); }

Q_SIGNALS:
    void itemIndexChanged(int index);

private:
    void followChoice();

    QButtonGroup *m_group;
    QList<QRadioButton *> m_items;
};

} // namespace ui
