#include "radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace ui {

RadioGroup::RadioGroup(const QString &name, const QString &title, const QStringList &items,
                       int columns, QWidget *parent)
    : QGroupBox(title, parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(name);
    setAccessibleName(title);
    auto *layout = new QGridLayout(this);
    const int perColumn = qMax((int(items.size()) + columns - 1) / qMax(columns, 1), 1);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(name + QString::number(i));
        button->setAccessibleName(items.at(i));
        m_group->addButton(button, i);
        layout->addWidget(button, i % perColumn, i / perColumn);
        m_items.append(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            followChoice();
            Q_EMIT itemIndexChanged(itemIndex());
        }
    });
    followChoice();
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (QRadioButton *button = item(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go by itself.
    m_group->setExclusive(false);
    if (QAbstractButton *checked = m_group->checkedButton())
        checked->setChecked(false);
    m_group->setExclusive(true);
    followChoice();
    Q_EMIT itemIndexChanged(-1);
}

void RadioGroup::followChoice()
{
    QAbstractButton *target = m_group->checkedButton();
    if (!target && !m_items.isEmpty())
        target = m_items.first();
    setFocusProxy(target);
}

} // namespace ui
