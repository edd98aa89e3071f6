#pragma once

#include <QString>

class QWidget;

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace ui {

// What the dialogs and actions reach of the main window: its connection, the department and
// the run state. Each window owns the queries it runs. The main window implements it; nothing
// else needs the main window's class.
class MainHost
{
public:
    virtual ~MainHost() = default;

    virtual QWidget *mainWidget() = 0;
    // The folder of the program, ending with a separator.
    virtual QString programDir() const = 0;

    // The connection, opened first when it is closed, and the department's one row (atOsztaly).
    // Both throw db::Error when nobody has passed the registration or login in this run.
    virtual db::Connection &acZazadoroz() = 0;
    virtual db::Dataset &atOsztaly() = 0;

    // The current list; -1 before one is chosen, 0 the outpatient department's only list.
    virtual qint64 aktBeavtip() const = 0;
    virtual void setAktBeavtip(qint64 code) = 0;
    // The TAJ searched last; noTaj() for none.
    virtual QString aktTAJ() const = 0;
    virtual void setAktTAJ(const QString &taj) = 0;
};

} // namespace ui
