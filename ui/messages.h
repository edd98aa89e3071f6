#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {

// "Várólista Jelentő program": the title of every message box.
QString applicationTitle();

enum class MessageKind { Plain, Error };

// The plain message box: modal, centred, the application title, the text and one OK button,
// no icon. Returns once the person has closed it.
void showMessage(QWidget *parent, const QString &text);

// The default error display: the same title, an error icon, the error's own text.
void showError(QWidget *parent, const QString &errorMessage);

// The error's text with "." appended when its last character comes after "." in character
// order (a letter or digit gets one; "!", ")" or "." do not).
QString errorDisplayText(const QString &errorMessage);

// Test seam: while a handler is set, every message goes to it instead of a box, with the
// text exactly as the box would show it.
using MessageHandler = std::function<void(MessageKind kind, const QString &text)>;
void setMessageHandler(MessageHandler handler);

} // namespace ui
