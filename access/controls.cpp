#include "controls.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace dept::controls {

QLineEdit *edit(const QString &objectName, int maxLength, QLabel *label, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(maxLength);
    label->setBuddy(edit);
    edit->setAccessibleName(label->text().trimmed());
    return edit;
}

void setPasswordStyle(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

QLabel *label(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QPushButton *button(const QString &objectName, const QString &text, const QString &iconPath,
                    QWidget *parent)
{
    auto *button = new QPushButton(QIcon(iconPath), text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    return button;
}

QPushButton *okBitBtn(const QString &objectName, QWidget *parent)
{
    return button(objectName, QStringLiteral("OK"), QStringLiteral(":/icons/ok.svg"), parent);
}

QPushButton *cancelBitBtn(const QString &objectName, QWidget *parent)
{
    return button(objectName, QStringLiteral("Mégsem"), QStringLiteral(":/icons/cancel.svg"),
                  parent);
}

void centreOnScreen(QWidget *window)
{
    window->adjustSize();
    QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace dept::controls
