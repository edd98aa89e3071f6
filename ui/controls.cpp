#include "controls.h"

#include "textvalidator.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

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
    TextValidator::limit(edit, maxLength);
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

int widthForCharacters(const QLineEdit *edit, int chars)
{
    const QFontMetrics metrics = edit->fontMetrics();
    // A lower-case "n" is about as wide as an average letter of a name in running text; the
    // font's own average counts the narrow punctuation too and comes out short.
    const int text = chars * std::max(metrics.averageCharWidth(), metrics.horizontalAdvance(u'n'));
    const QMargins margins = edit->textMargins();
    // Qt's line edit keeps 2 pixels on either side of its text.
    const QSize contents(text + margins.left() + margins.right() + 4, metrics.height());
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, edit).width();
}

int titleBarWidth(const QString &title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    // The icon and the close box, each about a line and a half square; a centred title needs
    // the same room on the other side.
    const int side = 2 * (metrics.height() * 3 / 2);
    return metrics.horizontalAdvance(title) + 2 * side;
}

void keepTitleInSight(QWidget *window)
{
    QLayout *layout = window->layout();
    if (!layout)
        return;
    const QMargins margins = layout->contentsMargins();
    const int width = titleBarWidth(window->windowTitle()) - margins.left() - margins.right();
    auto *strut = new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    if (auto *grid = qobject_cast<QGridLayout *>(layout))
        grid->addItem(strut, grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));
    else if (auto *box = qobject_cast<QBoxLayout *>(layout))
        box->addItem(strut);
    else
        delete strut;
}

QRect desktopArea(const QWidget *window)
{
    QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void centreOnScreen(QWidget *window, QSize size)
{
    const QRect desktop = desktopArea(window);
    if (!size.isValid())
        window->adjustSize();
    if (desktop.isEmpty()) {
        if (size.isValid())
            window->resize(size);
        return;
    }
    // The frame the window system draws around the window; before it has drawn one, room for
    // a usual one (a title bar and thin borders), so that the whole window stays in sight.
    QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                   window->geometry().top() - window->frameGeometry().top(),
                   window->frameGeometry().right() - window->geometry().right(),
                   window->frameGeometry().bottom() - window->geometry().bottom());
    if (frame.isNull()) {
        const int line = QFontMetrics(QApplication::font()).height();
        frame = QMargins(line / 2, 2 * line, line / 2, line / 2);
    }
    if (size.isValid())
        window->resize(size.boundedTo(desktop.size().shrunkBy(frame)));
    QRect outer(QPoint(0, 0), window->size().grownBy(frame));
    outer.moveCenter(desktop.center());
    window->move(outer.topLeft());
}

} // namespace ui
