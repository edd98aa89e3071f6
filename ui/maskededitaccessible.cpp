#include "maskededitaccessible.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace ui {

namespace {
// The gap Qt's line edit leaves between its contents rectangle and the first character.
constexpr int textMargin = 2;
} // namespace

MaskedEditAccessible::MaskedEditAccessible(QLineEdit *edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{
}

QLineEdit *MaskedEditAccessible::edit() const
{
    return static_cast<QLineEdit *>(widget());
}

QString MaskedEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return edit()->displayText();
    return QAccessibleWidget::text(t);
}

QAccessible::State MaskedEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !edit()->isReadOnly();
    s.readOnly = edit()->isReadOnly();
    s.selectableText = true;
    return s;
}

void *MaskedEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void MaskedEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !edit()->hasSelectedText())
        return;
    *startOffset = edit()->selectionStart();
    *endOffset = *startOffset + edit()->selectionLength();
}

int MaskedEditAccessible::selectionCount() const
{
    return edit()->hasSelectedText() ? 1 : 0;
}

void MaskedEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void MaskedEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        edit()->deselect();
}

void MaskedEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        edit()->setSelection(startOffset, endOffset - startOffset);
}

int MaskedEditAccessible::cursorPosition() const
{
    return edit()->cursorPosition();
}

void MaskedEditAccessible::setCursorPosition(int position)
{
    edit()->setCursorPosition(position);
}

QString MaskedEditAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    return edit()->displayText().mid(startOffset, endOffset - startOffset);
}

int MaskedEditAccessible::characterCount() const
{
    return int(edit()->displayText().size());
}

QRect MaskedEditAccessible::characterRect(int offset) const
{
    const QString shown = edit()->displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    QStyleOptionFrame option;
    option.initFrom(edit());
    option.lineWidth
        = edit()->hasFrame()
              ? edit()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit())
              : 0;
    const QRect contents
        = edit()->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit())
          - edit()->textMargins();
    const QFontMetrics metrics = edit()->fontMetrics();
    const int x = contents.x() + textMargin + metrics.horizontalAdvance(shown.left(offset));
    const int y = contents.y() + (contents.height() - metrics.height()) / 2;
    const QRect local(x, y, metrics.horizontalAdvance(shown.at(offset)), metrics.height());
    return local.translated(edit()->mapToGlobal(QPoint(0, 0)));
}

int MaskedEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
}

void MaskedEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    // Moving the cursor is what scrolls a line edit.
    edit()->setCursorPosition(endIndex);
    edit()->setCursorPosition(startIndex);
}

QString MaskedEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One run of plain text without attributes.
    *startOffset = 0;
    *endOffset = characterCount();
    Q_UNUSED(offset)
    return {};
}

void MaskedEditAccessible::deleteText(int startOffset, int endOffset)
{
    edit()->setSelection(startOffset, endOffset - startOffset);
    edit()->del();
}

void MaskedEditAccessible::insertText(int offset, const QString &text)
{
    edit()->setCursorPosition(offset);
    edit()->insert(text);
}

void MaskedEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    edit()->setSelection(startOffset, endOffset - startOffset);
    edit()->insert(text);
}

} // namespace ui
