#pragma once

#include "loginhost.h"
#include "mainhost.h"

#include "dataset/dataset.h"
#include "db/connection.h"

#include <QString>

class QWidget;

namespace ui {

// The main window's connection, the department's row and the run state. The main window owns
// one; tests build one over a temporary database to drive the dialogs without a main window.
// The connection and the department of MainHost refuse until access was granted in this run;
// only the registration and the login reach them before that.
class MainState : public MainHost, public LoginHost
{
public:
    MainState(QWidget *mainWidget, const QString &programDir);

    QWidget *mainWidget() override { return m_mainWidget; }
    QString programDir() const override { return m_programDir; }

    // Opens the department's data of the program folder (start-up, and the first later
    // action after the connection was closed); a file's use lock is held from then on, so
    // that nobody restores a backup over it while this run works on it.
    void connect();
    // Recorded when the registration or the login has been passed in this run; until then
    // every accessor of MainHost to the data refuses, so no action reaches it.
    void grantAccess() { m_accessGranted = true; }
    bool accessGranted() const { return m_accessGranted; }
    // The connection without the login's check: for start-up, which opens the file before
    // anyone logs in, for the registration, and for tests that prepare its rows.
    db::Connection &connection() override { return m_connection; }

    db::Connection &acZazadoroz() override;
    db::Dataset &atOsztaly() override;

    db::Dataset &departmentRow() override { return m_atOsztaly; }

    qint64 aktBeavtip() const override { return m_aktBeavtip; }
    void setAktBeavtip(qint64 code) override { m_aktBeavtip = code; }
    QString aktTAJ() const override { return m_aktTAJ; }
    void setAktTAJ(const QString &taj) override { m_aktTAJ = taj; }

private:
    // Throws db::Error with the login's message until access was granted in this run.
    void requireAccess() const;

    QWidget *m_mainWidget;
    QString m_programDir;
    bool m_accessGranted = false;
    db::Connection m_connection;
    db::Dataset m_atOsztaly;
    qint64 m_aktBeavtip = 0;
    QString m_aktTAJ;
};

} // namespace ui
