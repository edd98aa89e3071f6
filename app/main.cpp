#include "application.h"
#include "ufrmMainZazadoroz.h"

#include "db/error.h"
#include "db/server/connectionfile.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/messages.h"

#include <QDir>

#include <exception>
#include <memory>

int main(int argc, char *argv[])
{
    const QString startFailed = QStringLiteral("Hiba a program indításakor: ");
    std::unique_ptr<Application> app;
    std::unique_ptr<TfrmMainZazadoroz> window;
    try {
        app = std::make_unique<Application>(argc, argv);
        db::connectionfile::setMachineFile(
            QString::fromLatin1(db::connectionfile::installedMachineFile));
        const QString programDir
            = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QDir::separator();
        ui::installHelp(*app, programDir);
        window = std::make_unique<TfrmMainZazadoroz>(programDir);
    } catch (const db::Error &e) {
        ui::showMessage(nullptr, startFailed + e.message());
        return 1;
    } catch (const std::exception &e) {
        ui::showMessage(nullptr, startFailed + QString::fromLocal8Bit(e.what()));
        return 1;
    }
    // Qt ignores quit() before the event loop runs, so a cancelled start ends here.
    if (window->endRequested())
        return 0;
    window->show();
    return app->exec();
}
