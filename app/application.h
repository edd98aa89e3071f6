#pragma once

#include <QApplication>
#include <QIcon>

// The application object: Hungarian texts for Qt's own controls, the program's icon on every
// window, and one last guard so that no error escapes a handler into the event loop.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The program's icon in every size it is drawn in; every window carries it.
    static QIcon programIcon();

    // Loads Qt's Hungarian catalogue; false when it is not installed.
    static bool loadHungarian(QCoreApplication &app);
};
