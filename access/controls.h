#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Building blocks the department dialogs share.
namespace dept::controls {

// An edit that takes at most maxLength characters, named after its label.
QLineEdit *edit(const QString &objectName, int maxLength, QLabel *label, QWidget *parent);
// Each typed character shows as "*".
void setPasswordStyle(QLineEdit *edit);
QLabel *label(const QString &objectName, const QString &text, QWidget *parent);
// A button with a picture; a missing picture just leaves the text.
QPushButton *button(const QString &objectName, const QString &text, const QString &iconPath,
                    QWidget *parent);
// "OK" with its picture, and "Mégsem" with its own.
QPushButton *okBitBtn(const QString &objectName, QWidget *parent);
QPushButton *cancelBitBtn(const QString &objectName, QWidget *parent);

// Sized to its contents and centred on the screen it will appear on.
void centreOnScreen(QWidget *window);

} // namespace dept::controls
