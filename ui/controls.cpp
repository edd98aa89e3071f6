#include "controls.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {
// "&&" stands for one '&'; a single one only marks the shortcut key.
QString withoutShortcutMark(const QString &caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        text += caption.at(i);
    }
    return text;
}
} // namespace

QLabel *label(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

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

QPushButton *button(const QString &objectName, const QString &caption, const QString &picture,
                    QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(withoutShortcutMark(caption));
    if (!picture.isEmpty())
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(picture)));
    return button;
}

QPushButton *okBitBtn(const QString &objectName, QWidget *parent)
{
    return button(objectName, QStringLiteral("OK"), QStringLiteral("ok"), parent);
}

QPushButton *cancelBitBtn(const QString &objectName, QWidget *parent)
{
    return button(objectName, QStringLiteral("Mégsem"), QStringLiteral("cancel"), parent);
}

QHBoxLayout *okCancelRow(QPushButton *cancel, QPushButton *ok, QWidget *panel)
{
    auto *row = new QHBoxLayout(panel);
    row->addWidget(cancel);
    row->addStretch();
    row->addWidget(ok);
    return row;
}

void centreOnScreen(QWidget *window, QSize size)
{
    QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!size.isValid())
        window->adjustSize();
    else if (screen)
        window->resize(size.boundedTo(screen->availableGeometry().size()));
    else
        window->resize(size);
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace ui
