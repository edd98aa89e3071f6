#include "statswindowcase.h"

#include "db/server/connectionfile.h"
#include "statswindow/ufrmStatisztika.h"
#include "ui/mainstate.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QWidget>

#include <cstdio>

namespace bench {

int runStatsWindowCase(int argc, char **argv, const QString &programDir, int list)
{
    QApplication app(argc, argv);
    QWidget mainWidget;
    ui::MainState state(&mainWidget, QDir(programDir).absolutePath() + QDir::separator());
    try {
        state.connect();
        state.grantAccess();
        state.setAktBeavtip(list);
        QElapsedTimer timer;
        timer.start();
        TfrmStatisztika window(state);
        window.show();
        QCoreApplication::processEvents();
        const double shown = double(timer.nsecsElapsed()) / 1e9;
        auto *choice = window.findChild<QComboBox *>(QStringLiteral("cbLista"));
        const int kind = choice ? choice->currentIndex() : -1;
        // The lists of a kind come first among their own: the nearest "Minden" above.
        int whole = kind;
        while (whole > 0 && !choice->itemText(whole).startsWith(QStringLiteral("Minden")))
            --whole;
        if (whole < 0 || whole == kind) {
            std::fprintf(stderr, "no choice of the whole kind above the list\n");
            return 1;
        }
        timer.restart();
        choice->setCurrentIndex(whole);
        QCoreApplication::processEvents();
        const double switched = double(timer.nsecsElapsed()) / 1e9;
        std::printf("%.6f 0 %.6f 0\n", shown, switched);
        return 0;
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

QString serverProgramDir(const QString &parent, const QString &server)
{
    QString dir = QDir(parent).filePath(QStringLiteral("kiszolgalo"));
    QDir().mkpath(dir);
    QFile file(QDir(dir).filePath(QString::fromLatin1(db::connectionfile::fileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(server.toUtf8() + '\n');
    return dir;
}

double timeStatisticsTool(const QString &programDir, int list)
{
    QStringList arguments{QStringLiteral("--mappa"), programDir, QStringLiteral("statisztika")};
    if (list >= 0)
        arguments << QStringLiteral("--lista") << QString::number(list);
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    tool.start(QStringLiteral(VAZUVEDE_ADMIN), arguments);
    if (!tool.waitForFinished(10 * 60 * 1000) || tool.exitStatus() != QProcess::NormalExit
        || tool.exitCode() != 0) {
        std::fprintf(stderr, "vazuvede-admin statisztika: %s\n",
                     tool.readAllStandardError().constData());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace bench
