#pragma once

#include "messagerecorder.h"

#include <QString>

class QDialog;

namespace testsupport {

// Clicks the named push button of a window, as a person would.
void press(QDialog *dialog, const QString &button);

// Types a new member into the member dialog as a person would: the TAJ from its first place,
// the name, and the first urgency.
void typeNewMember(QDialog *dialog, const QString &taj, const QString &name);

// The list manager drives the steps, then closes with its OK if it is still open.
void onListManager(ModalDriver &driver, const ModalDriver::Handler &steps);

} // namespace testsupport
