#pragma once

#include "dataset/dataset.h"
#include "rules/member.h"
#include "ui/dialog.h"

#include <optional>

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
struct MemberRequest;
} // namespace lists

// "Adatok": puts a patient on the current list (new-entry mode, eHivSzam empty) or records a
// new event for an entry already on it (event mode, eHivSzam holds its reference number).
class TfrmAdatok : public ui::Dialog
{
    Q_OBJECT
public:
    // Runs FormCreate: the event names into the event box. members is the list manager's member
    // query: a new entry's TAJ is looked up there; without it nothing is checked against the
    // list.
    explicit TfrmAdatok(ui::MainHost &host, QWidget *parent = nullptr,
                        db::Dataset *members = nullptr);

    // Fills and locks the controls for the mode, as the list manager does before showing it.
    void fill(const rules::MemberFill &fill);

    // What OK saves: the controls as they are, with the entry as it was shown.
    lists::MemberRequest request() const;

protected:
    bool closeQuery() override { return mayClose; }
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *createPatientBox();
    QWidget *createEventBox();
    void createButtons();
    void layOut(QWidget *patientBox, QWidget *eventBox);
    void FormCreate();
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void eTajExit(lists::TajEdit *sender);
    void showPatient(const QString &taj, const QString &nev, const QDate &listara, int surgos);
    // Another workstation changed the entry meanwhile: the dialog shows it as stored now.
    void showStored(const rules::ShownEntry &stored);
    bool ValidateInput();
    void btnOKClick();
    void btnCancelClick();

    ui::MainHost &m_host;
    db::Dataset *m_members;
    db::Dataset atEsemeny;
    bool mayClose = false;
    std::optional<rules::ShownEntry> m_shown;

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
