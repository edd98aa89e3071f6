#pragma once

#include <QString>

#include <functional>

class QApplication;
class QWidget;

namespace ui {

// "Zazadoroz.hlp": HTML with one anchor per help context number, beside the program.
QString helpFileName();

void setHelpContext(QWidget *widget, int context);
// The help context of the widget or of its nearest parent that has one; 0 when none does.
int helpContextFor(const QWidget *widget);

// F1 anywhere in the program opens the help at the context of the widget it was pressed in.
void installHelp(QApplication &app, const QString &programDir);
void showHelp(QWidget *parent, int context);

// Test seam: while set, a help request goes here instead of opening the help window.
using HelpHandler = std::function<void(int context)>;
void setHelpHandler(HelpHandler handler);

} // namespace ui
