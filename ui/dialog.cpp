#include "dialog.h"

#include "accessibility.h"
#include "guard.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

namespace ui {

Dialog::Dialog(QWidget *parent)
    : QDialog(parent)
{
    setModal(true);
    installAccessibility();
}

void Dialog::addButton(QAbstractButton *button, int modalResult, std::function<void()> handler)
{
    if (auto *push = qobject_cast<QPushButton *>(button)) {
        // Enter is decided by keyPressEvent alone, never by Qt's auto-default choice.
        push->setAutoDefault(false);
        push->setDefault(false);
    }
    connect(button, &QAbstractButton::clicked, this,
            [this, modalResult, handler = std::move(handler)] {
                m_modalResult = modalResult;
                if (handler)
                    guarded(this, handler);
                if (m_modalResult != mrNone)
                    done(m_modalResult);
            });
}

void Dialog::done(int result)
{
    if (!closeQuery()) {
        m_modalResult = mrNone;
        setResult(mrNone);
        return;
    }
    m_modalResult = result;
    QDialog::done(result);
}

void Dialog::reject()
{
    done(mrCancel);
}

void Dialog::accept()
{
    done(mrOk);
}

void Dialog::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget());
            button && button->isEnabled()) {
            button->click();
        } else if (m_defaultButton && m_defaultButton->isEnabled()
                   && m_defaultButton->isVisible()) {
            m_defaultButton->click();
        }
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancelButton) {
            if (m_cancelButton->isEnabled())
                m_cancelButton->click();
        } else {
            reject();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Dialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        // The first control in tab order that can take the focus.
        QWidget *w = nextInFocusChain();
        while (w && w != this) {
            if (w->isEnabled() && w->isVisibleTo(this) && (w->focusPolicy() & Qt::TabFocus)
                && w->window() == this) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
            w = w->nextInFocusChain();
        }
    }
}

} // namespace ui
