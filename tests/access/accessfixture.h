#pragma once

#include "messagerecorder.h"
#include "tempdatabase.h"

#include "ui/mainstate.h"
#include "ui/modal.h"

#include <QDialog>
#include <QWidget>

#include <functional>

// A program folder with a fresh database, the main window's state connected to it, and the
// seams that answer every message and drive a dialog inside its own modal loop.
struct AccessFixture
{
    testsupport::TempProgramDir dir;
    QWidget mainWidget;
    ui::MainState state{&mainWidget, dir.path()};
    testsupport::MessageRecorder messages;
    testsupport::ModalDriver driver;

    // Whether a write transaction was open as each message was shown: none may be, or the
    // file stays locked while a person reads.
    QList<bool> inTransactionAtMessage;

    AccessFixture()
    {
        state.connect();
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
