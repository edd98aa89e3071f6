#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace ui {

// A pick-from-list combo box as a screen reader meets it: named by its label, its value the
// item shown. Qt on Linux names such a box after the item it shows and falls back to its
// label only while no item is chosen, so the same box would be announced under two names.
class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *combo);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    // The list that drops down is the one child.
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QComboBox *combo() const;
};

} // namespace ui
