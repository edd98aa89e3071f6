#include "help.h"

#include "messages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace ui {

namespace {
constexpr char helpContextProperty[] = "helpContext";

HelpHandler &handler()
{
    static HelpHandler h;
    return h;
}

QString &helpFolder()
{
    static QString folder;
    return folder;
}

// F1 is answered for the widget the key went to, whatever window it is in.
class HelpKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
            if (auto *widget = qobject_cast<QWidget *>(watched)) {
                showHelp(widget->window(), helpContextFor(widget));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class HelpWindow : public QWidget
{
public:
    HelpWindow()
    {
        setObjectName(QStringLiteral("frmSugo"));
        setWindowTitle(QStringLiteral("Súgó - ") + applicationTitle());
        setAttribute(Qt::WA_DeleteOnClose);
        m_browser = new QTextBrowser(this);
        m_browser->setObjectName(QStringLiteral("sugoSzoveg"));
        m_browser->setAccessibleName(QStringLiteral("Súgó"));
        m_browser->setOpenExternalLinks(false);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_browser);
        resize(640, 520);
    }
    void open(const QString &file, int context)
    {
        QUrl url = QUrl::fromLocalFile(file);
        if (context > 0)
            url.setFragment(QString::number(context));
        m_browser->setSource(url, QTextDocument::HtmlResource);
        if (context > 0)
            m_browser->scrollToAnchor(QString::number(context));
    }

private:
    QTextBrowser *m_browser;
};
} // namespace

QString helpFileName()
{
    return QStringLiteral("Zazadoroz.hlp");
}

void setHelpContext(QWidget *widget, int context)
{
    widget->setProperty(helpContextProperty, context);
}

int helpContextFor(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const int context = w->property(helpContextProperty).toInt();
        if (context > 0)
            return context;
        if (w->isWindow())
            break;
    }
    return 0;
}

void installHelp(QApplication &app, const QString &programDir)
{
    helpFolder() = programDir;
    app.installEventFilter(new HelpKeyFilter(&app));
}

void showHelp(QWidget *parent, int context)
{
    if (handler()) {
        handler()(context);
        return;
    }
    const QString file = QDir(helpFolder()).filePath(helpFileName());
    if (!QFileInfo::exists(file)) {
        showMessage(parent, QStringLiteral("A súgó nem nyitható meg, mert a súgóállomány nem "
                                           "található: ")
                                + QDir::toNativeSeparators(file));
        return;
    }
    static QPointer<HelpWindow> window;
    if (!window)
        window = new HelpWindow;
    window->open(file, context);
    window->show();
    window->raise();
    window->activateWindow();
}

void setHelpHandler(HelpHandler h)
{
    handler() = std::move(h);
}

} // namespace ui
