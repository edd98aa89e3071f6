#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace ui {
class DataSource;

// What the dialogs and actions reach of the main window: its connection, shared datasets and
// run state. The main window implements it; nothing else needs the main window's class.
class MainHost
{
public:
    virtual ~MainHost() = default;

    virtual QWidget *mainWidget() = 0;
    // The folder of the program, ending with a separator.
    virtual QString programDir() const = 0;

    // The connection, opened first when it is closed. This and every dataset below throw
    // db::Error when nobody has passed the registration or login in this run.
    virtual db::Connection &acZazadoroz() = 0;
    virtual db::Dataset &atOsztaly() = 0;
    virtual db::Dataset &aqAlt() = 0;
    virtual db::Dataset &atListaDb() = 0;
    virtual db::Dataset &atJelentes() = 0;
    virtual DataSource &dsListaDb() = 0;

    virtual int aktBeavtip() const = 0;
    virtual void setAktBeavtip(int code) = 0;
    virtual QString aktTAJ() const = 0;
    virtual void setAktTAJ(const QString &taj) = 0;
    // The list manager window opened last (a TfrmListakezelo); null once it is destroyed.
    virtual QDialog *aktListakezelo() const = 0;
    virtual void setAktListakezelo(QDialog *window) = 0;
    // The list chooser shown last (a TfrmListaValaszto); null once it is destroyed.
    virtual QDialog *aktValaszto() const = 0;
    virtual void setAktValaszto(QDialog *chooser) = 0;
};

} // namespace ui
