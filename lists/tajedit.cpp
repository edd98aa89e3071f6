#include "tajedit.h"

#include "rules/taj.h"
#include "ui/accessibility.h"
#include "ui/help.h"

#include <QFocusEvent>

namespace lists {

namespace {
// Qt's "0" is an optional digit, and blank "0" makes an untyped position show and read as "0".
// Only displayText() holds those positions: text() drops them, and every typed 0 with them.
QString tajMask()
{
    return QStringLiteral("000-000-000;0");
}
} // namespace

TajEdit::TajEdit(const QString &objectName, QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
    setInputMask(tajMask());
    setMaxLength(11);
    ui::setHelpContext(this, tajHelpContext);
    ui::installAccessibility();
}

QString TajEdit::digits() const
{
    return rules::tajDigits(displayText());
}

void TajEdit::setDigits(const QString &digits)
{
    const QString nine = digits.left(9).leftJustified(9, u'0');
    setText(nine.left(3) + u'-' + nine.mid(3, 3) + u'-' + nine.mid(6, 3));
}

void TajEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window taking over (a message box, a popup) does not leave the field.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT exited();
}

} // namespace lists
