#pragma once

#include <QApplication>

// The application object: Hungarian texts for Qt's own controls, and one last guard so that
// no error escapes a handler into the event loop.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Loads Qt's Hungarian catalogue; false when it is not installed.
    static bool loadHungarian(QCoreApplication &app);
};
