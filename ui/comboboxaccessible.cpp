#include "comboboxaccessible.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace ui {

ComboBoxAccessible::ComboBoxAccessible(QComboBox *combo)
    : QAccessibleWidget(combo, QAccessible::ComboBox)
{
}

QComboBox *ComboBoxAccessible::combo() const
{
    return static_cast<QComboBox *>(widget());
}

QString ComboBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return combo()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State ComboBoxAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = combo()->view()->isVisible();
    s.collapsed = !s.expanded;
    return s;
}

int ComboBoxAccessible::childCount() const
{
    return 1;
}

QAccessibleInterface *ComboBoxAccessible::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
}

int ComboBoxAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child && child->object() == combo()->view() ? 0 : -1;
}

QStringList ComboBoxAccessible::actionNames() const
{
    return {QAccessibleActionInterface::showMenuAction(),
            QAccessibleActionInterface::pressAction()};
}

void ComboBoxAccessible::doAction(const QString &actionName)
{
    if (actionName == QAccessibleActionInterface::showMenuAction()
        || actionName == QAccessibleActionInterface::pressAction()) {
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }
}

} // namespace ui
