#pragma once

#include "ui/mainstate.h"

#include <QWidget>

class QPushButton;

// The main window: the hub from which the department works its lists, searches a TAJ and
// writes the day's report. It owns the connection, the department's row and the run state.
class TfrmMainZazadoroz : public QWidget
{
    Q_OBJECT
public:
    // Creating the window runs the start-up (FormCreate): connection, department row,
    // registration or login. programDir is the program's folder, ending with a separator.
    explicit TfrmMainZazadoroz(const QString &programDir, QWidget *parent = nullptr);

    // A cancelled registration or login asks the program to end before the window is shown.
    bool endRequested() const { return m_endRequested; }

    ui::MainState &state() { return m_state; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void bbZazadorozClick(const QString &senderName);
    void bbTAJkeresClick();
    void bbJelentClick();
    void bbStatisztikaClick();

    ui::MainState m_state;
    bool m_endRequested = false;
    QPushButton *bbZazadoroz;
    QPushButton *bbTAJkeres;
    QPushButton *bbJelent;
    QPushButton *BitBtn1;
    QPushButton *bbBetForglista;
    QPushButton *bbStatisztika;
};
