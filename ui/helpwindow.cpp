#include "helpwindow.h"

#include "controls.h"
#include "helpplacement.h"
#include "messages.h"
#include "modal.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {

namespace {
const QSize preferredSize(640, 560);
constexpr int narrowestWidth = 360;

QPushButton *toolButton(const QString &name, const QString &caption, const QString &spoken,
                        QWidget *parent)
{
    QPushButton *b = button(name, caption, {}, parent);
    b->setAccessibleName(spoken);
    b->setAutoDefault(false);
    return b;
}
} // namespace

HelpWindow::HelpWindow()
    : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmSugo"));
    setWindowTitle(QStringLiteral("Súgó - ") + applicationTitle());
    setAccessibleName(windowTitle());

    m_back = toolButton(QStringLiteral("btnVissza"), QStringLiteral("&Vissza"),
                        QStringLiteral("Vissza"), this);
    m_forward = toolButton(QStringLiteral("btnElore"), QStringLiteral("&Előre"),
                           QStringLiteral("Előre"), this);
    auto *findLabel = label(QStringLiteral("lblKereses"), QStringLiteral("&Keresés:"), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("eKereses"));
    m_find->setAccessibleName(QStringLiteral("Keresés"));
    m_find->setClearButtonEnabled(true);
    for (QToolButton *clear : m_find->findChildren<QToolButton *>())
        clear->setAccessibleName(QStringLiteral("Keresés törlése"));
    findLabel->setBuddy(m_find);
    m_findNext = toolButton(QStringLiteral("btnKovetkezo"), QStringLiteral("Követke&ző"),
                            QStringLiteral("Következő találat"), this);
    m_print = toolButton(QStringLiteral("btnNyomtatas"), QStringLiteral("&Nyomtatás..."),
                         QStringLiteral("Nyomtatás"), this);
    m_close = toolButton(QStringLiteral("btnBezaras"), QStringLiteral("&Bezárás"),
                         QStringLiteral("Bezárás"), this);
    m_findResult = label(QStringLiteral("lblTalalat"), {}, this);
    // Read out by its own text; what it is for is its description.
    m_findResult->setAccessibleDescription(QStringLiteral("Keresés eredménye"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("sugoSzoveg"));
    m_browser->setAccessibleName(QStringLiteral("Súgó"));
    m_browser->setOpenExternalLinks(false);

    // Two short rows, so the window can stand narrow beside a wide dialog.
    auto *moves = new QHBoxLayout;
    moves->addWidget(m_back);
    moves->addWidget(m_forward);
    moves->addStretch();
    moves->addWidget(m_print);
    moves->addWidget(m_close);
    auto *search = new QHBoxLayout;
    search->addWidget(findLabel);
    search->addWidget(m_find, 1);
    search->addWidget(m_findNext);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(moves);
    layout->addLayout(search);
    layout->addWidget(m_findResult);
    layout->addWidget(m_browser, 1);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_find, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(m_find, &QLineEdit::textChanged, m_findResult, &QLabel::clear);
    connect(m_findNext, &QPushButton::clicked, this, &HelpWindow::findNext);
    connect(m_print, &QPushButton::clicked, this, &HelpWindow::print);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    auto *findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        m_find->setFocus(Qt::ShortcutFocusReason);
        m_find->selectAll();
    });
    auto *findAgain = new QShortcut(QKeySequence::FindNext, this);
    connect(findAgain, &QShortcut::activated, this, &HelpWindow::findNext);

    resize(preferredSize);
}

void HelpWindow::showSection(const QString &file, int context, QWidget *explained)
{
    belongTo(QApplication::activeModalWidget());
    // Put beside the window when it first appears or when it would cover the window now;
    // a place the reader chose is kept otherwise.
    if (explained
        && (!isVisible() || frameGeometry().intersects(explained->window()->frameGeometry())))
        placeBeside(explained->window());
    show();
    raise();
    activateWindow();
    QUrl url = QUrl::fromLocalFile(file);
    if (context > 0)
        url.setFragment(QString::number(context));
    m_browser->setSource(url, QTextDocument::HtmlResource);
    if (context > 0)
        m_browser->scrollToAnchor(QString::number(context));
    // A search starts at the section in sight.
    m_browser->setTextCursor(m_browser->cursorForPosition(QPoint(0, 0)));
    m_browser->setFocus(Qt::OtherFocusReason);
}

void HelpWindow::belongTo(QWidget *modal)
{
    // The help's own print dialog does not take the help in.
    for (const QWidget *w = modal; w; w = w->parentWidget()) {
        if (w == this)
            return;
    }
    if (QWidget *old = parentWidget())
        old->removeEventFilter(this);
    if (parentWidget() != modal) {
        const QPoint place = pos();
        const bool wasVisible = isVisible();
        // A child window of the open modal dialog is the only other window that dialog lets
        // take input; a window of its own is still a window (Qt::Window) on the desktop.
        setParent(modal, windowFlags() | Qt::Window);
        move(place);
        if (wasVisible)
            show();
    }
    if (modal)
        modal->installEventFilter(this);
}

void HelpWindow::placeBeside(const QWidget *explained)
{
    const QRect desktop = desktopArea(explained);
    if (desktop.isEmpty())
        return;
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const QSize preferred = preferredSize.grownBy(frame);
    const QRect place = helpPlacement(explained->frameGeometry(), desktop, preferred,
                                      narrowestWidth + frame.left() + frame.right());
    resize(place.size().shrunkBy(frame));
    move(place.topLeft());
}

void HelpWindow::findNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return;
    if (!m_browser->find(text)) {
        // From the top again, once.
        QTextCursor start = m_browser->textCursor();
        start.movePosition(QTextCursor::Start);
        m_browser->setTextCursor(start);
        if (!m_browser->find(text)) {
            m_findResult->setText(QStringLiteral("Nincs találat: ") + text);
            return;
        }
    }
    m_findResult->clear();
}

void HelpWindow::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgNyomtatas"));
    dialog.setWindowTitle(QStringLiteral("Súgó nyomtatása"));
    if (execModal(&dialog) == QDialog::Accepted)
        m_browser->document()->print(&printer);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the help alone: the dialog it explains stays as it was.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The dialog the help belongs to has closed: the help passes to the modal dialog below
    // it, or becomes a window of its own, and stays open where it is.
    if (watched == parentWidget() && event->type() == QEvent::Hide && !event->spontaneous()) {
        QWidget *next = QApplication::activeModalWidget();
        belongTo(next == watched ? nullptr : next);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
