#include "accessibility.h"

#include "maskededitaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace ui {

namespace {
// Called for each class of the object, most derived first, before Qt's own factory.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    // Qt reports a plain widget as a "client" area, which reaches Linux screen readers as
    // "filler", even when it is the program's main window.
    if (className == u"QWidget" && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == u"QLineEdit") {
        auto *edit = static_cast<QLineEdit *>(widget);
        if (!edit->inputMask().isEmpty() && edit->echoMode() == QLineEdit::Normal)
            return new MaskedEditAccessible(edit);
    }
    return nullptr;
}
} // namespace

void installAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

} // namespace ui
