#pragma once

#include "dataset/dataset.h"
#include "ui/dialog.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace ui {
class MainHost;
class RadioGroup;
} // namespace ui

namespace lists {
class TajEdit;
struct MemberFill;
} // namespace lists

// "Adatok": puts a patient on the current list (new-entry mode, eHivSzam empty) or records a
// new event for an entry already on it (event mode, eHivSzam holds its reference number).
class TfrmAdatok : public ui::Dialog
{
    Q_OBJECT
public:
    // Runs FormCreate: the event names into the event box. members is the list manager's member
    // query: a new entry's TAJ is looked up there and an event is logged from its current row;
    // without it nothing can be checked against the list or saved as an event.
    explicit TfrmAdatok(ui::MainHost &host, QWidget *parent = nullptr,
                        db::Dataset *members = nullptr);

    // Fills and locks the controls for the mode, as the list manager does before showing it.
    void fill(const lists::MemberFill &fill);

    // The urgency item chosen: -1 none, 0 "Azonnali (Akut)", 1 "Halasztható".
    int surgosIndex() const;

    // The TAJ check digit of the first eight digits (weights 3, 7, 3, 7, ... from the left).
    static int TajCheckDigit(quint32 firstEightDigits);
    // Whether a TAJ value has nine digits at most, is not 0, and ends in its check digit.
    static bool TajValid(quint32 taj);

protected:
    bool closeQuery() override { return mayClose; }
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void eTajExit(lists::TajEdit *sender);
    bool ValidateInput();
    void btnOKClick();
    void btnCancelClick();

    ui::MainHost &m_host;
    db::Dataset *m_members;
    db::Dataset atEsemeny;
    db::Dataset aqModosit;
    bool mayClose = false;

    QLineEdit *eHivSzam;
    lists::TajEdit *eTaj;
    QLineEdit *eNev;
    QDateEdit *dtpListara;
    ui::RadioGroup *rgSurgos;
    QComboBox *cbEsemenynev;
    QDateEdit *dtpEsemDatum;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
