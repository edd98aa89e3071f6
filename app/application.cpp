#include "application.h"

#include "ui/guard.h"
#include "ui/messages.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The title of every message box; not a display name, which Qt would append to every
    // window title on some platforms.
    setApplicationName(ui::applicationTitle());
    // A computer with no regional settings at all would show English month names in the
    // short date format; the program speaks Hungarian there.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    loadHungarian(*this);
    setWindowIcon(programIcon());
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    ui::guarded(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

QIcon Application::programIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/programicon/varolista-%1.png").arg(size), QSize(size, size));
    return icon;
}

bool Application::loadHungarian(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Hungarian, QLocale::Hungary), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}
