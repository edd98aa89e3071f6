#include "modal.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtDebug>

namespace ui {

namespace {
ModalHandler &handler()
{
    static ModalHandler h;
    return h;
}
int &forcedCloses()
{
    static int count = 0;
    return count;
}
} // namespace

int execModal(QDialog *dialog)
{
    if (handler()) {
        const ModalHandler drive = handler();
        QPointer<QDialog> guard(dialog);
        QTimer::singleShot(0, dialog, [guard, drive] {
            if (!guard)
                return;
            drive(guard.data());
            if (guard && guard->isVisible()) {
                qWarning("A test left the modal window %s open; closing it.",
                         qPrintable(guard->objectName()));
                ++forcedCloses();
                guard->QDialog::done(QDialog::Rejected);
            }
        });
    }
    return dialog->exec();
}

void setModalHandler(ModalHandler h)
{
    handler() = std::move(h);
}

int takeForcedCloses()
{
    return std::exchange(forcedCloses(), 0);
}

} // namespace ui
