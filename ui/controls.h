#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Building blocks every window of the program shares.
namespace ui {

QLabel *label(const QString &objectName, const QString &text, QWidget *parent);
// An edit that takes at most maxLength characters (as the database counts them) and no
// control characters, named after its label.
QLineEdit *edit(const QString &objectName, int maxLength, QLabel *label, QWidget *parent);
// Each typed character shows as "*".
void setPasswordStyle(QLineEdit *edit);

// A button with its caption (read out without the shortcut's '&') and the picture
// ":/icons/<picture>.svg"; no picture, or a missing one, just leaves the caption.
QPushButton *button(const QString &objectName, const QString &caption, const QString &picture,
                    QWidget *parent);
// "OK" with its picture, and "Mégsem" with its own.
QPushButton *okBitBtn(const QString &objectName, QWidget *parent);
QPushButton *cancelBitBtn(const QString &objectName, QWidget *parent);

// The bottom row of a dialog: cancel on the left, ok on the right. Laid on panel when one is
// given, otherwise left for the caller to add.
QHBoxLayout *okCancelRow(QPushButton *cancel, QPushButton *ok, QWidget *panel = nullptr);

// The width an edit needs to show chars characters of ordinary text without scrolling.
int widthForCharacters(const QLineEdit *edit, int chars);

// The narrowest a window can be with its whole title in sight: the title in the title bar's
// bold type, with room for the icon and the close box.
int titleBarWidth(const QString &title);
// Keeps window at least titleBarWidth() wide through its own layout, which fixed-size
// dialogs and message boxes size themselves by (they ignore a minimum width).
void keepTitleInSight(QWidget *window);

// The desktop area of the screen the window appears on (the primary screen's before it has one).
QRect desktopArea(const QWidget *window);

// Centred on the desktop area of the screen it will appear on; sized to its contents, or to
// size, when one is given, as far as that area allows.
void centreOnScreen(QWidget *window, QSize size = {});

} // namespace ui
