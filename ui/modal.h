#pragma once

#include <functional>

class QDialog;

namespace ui {

// Shows a modal window through the one seam and returns its result when it has closed.
int execModal(QDialog *dialog);

// Test seam: while a handler is set, it is called inside the dialog's own modal loop, once
// the dialog is shown, and drives it (types, presses buttons). A dialog the handler leaves
// open is closed by force, with a warning, so a test never waits for ever.
using ModalHandler = std::function<void(QDialog *dialog)>;
void setModalHandler(ModalHandler handler);

// Dialogs the seam had to close by force since the last call (tests assert it stays 0).
int takeForcedCloses();

} // namespace ui
