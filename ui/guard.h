#pragma once

#include "db/error.h"
#include "messages.h"

#include <exception>
#include <utility>

class QWidget;

namespace ui {

// Runs a handler's body; an error that escapes it goes to the default error display, so the
// action stops where the error struck and nothing reaches Qt's event loop.
template<class F> void guarded(QWidget *parent, F &&body)
{
    try {
        std::forward<F>(body)();
    } catch (const db::Error &e) {
        showError(parent, e.message());
    } catch (const std::exception &e) {
        showError(parent, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(parent, QStringLiteral("Ismeretlen hiba"));
    }
}

} // namespace ui
