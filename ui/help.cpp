#include "help.h"

#include "helpwindow.h"
#include "messages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
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

// One help window for the whole run, made when first asked for.
QPointer<HelpWindow> &helpWindow()
{
    static QPointer<HelpWindow> window;
    return window;
}

// The help window, or a window it opened (its print dialog).
bool insideHelp(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == helpWindow())
            return true;
    }
    return false;
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
                // F1 in the help itself has nothing further to explain.
                if (!insideHelp(widget))
                    showHelp(widget->window(), helpContextFor(widget));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
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
    if (!helpWindow())
        helpWindow() = new HelpWindow;
    helpWindow()->showSection(file, context, parent);
}

void setHelpHandler(HelpHandler h)
{
    handler() = std::move(h);
}

} // namespace ui
