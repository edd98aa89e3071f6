#pragma once

#include "department.h"
#include "messagerecorder.h"

#include "ui/modal.h"

#include <QDialog>

#include <functional>

// The first start's run state (no department row, nobody logged in) with the seams that answer
// every message and drive a dialog inside its own modal loop.
struct AccessFixture : testsupport::Department
{
    testsupport::MessageRecorder messages;
    testsupport::ModalDriver driver;

    // Whether a write transaction was open as each message was shown: none may be, or the
    // file stays locked while a person reads.
    QList<bool> inTransactionAtMessage;

    AccessFixture()
        : Department(firstStart)
    {
        messages.onMessage([this](const testsupport::MessageRecorder::Message &) {
            inTransactionAtMessage << state.connection().inTransaction();
        });
    }

    // Shows the dialog as start-up does and runs drive inside its modal loop. Returns the
    // modal result, or -1 when drive left the dialog open and the seam had to close it.
    int run(QDialog &dialog, const std::function<void()> &drive)
    {
        ui::takeForcedCloses();
        driver.on(dialog.objectName(), [&drive](QDialog *) { drive(); });
        const int result = ui::execModal(&dialog);
        return ui::takeForcedCloses() == 0 ? result : -1;
    }

    qint64 departmentRows()
    {
        return state.connection()
            .scalar(QStringLiteral("SELECT Count(*) FROM OSZTALY"))
            .toLongLong();
    }
};
