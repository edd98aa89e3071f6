#include "ufrmAdatok.h"

#include "membersave.h"
#include "tajedit.h"

#include "dataset/dataset.h"
#include "db/clock.h"
#include "db/error.h"
#include "db/schema.h"
#include "rules/messages.h"
#include "rules/taj.h"
#include "ui/controls.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/mainhost.h"
#include "ui/radiogroup.h"
#include "ui/textvalidator.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int helpContext = 70;
// The money green of the read-only reference number.
constexpr QColor moneyGreen(192, 220, 192);
// The TAJ edit after leaving it: lime green for a valid check digit, red otherwise.
constexpr QColor tajValidColor(0, 255, 0);
constexpr QColor tajInvalidColor(255, 0, 0);

QDateEdit *datePicker(QWidget *parent, const char *name, const QString &label)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(label);
    picker->setCalendarPopup(true);
    return picker;
}

QString accessibleLabel(const QString &caption)
{
    QString text = caption;
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

void addLabelledRow(QFormLayout *layout, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    // A combo box is named by the item it shows, as Qt does on Linux; screen readers take its
    // label from the buddy relation.
    if (!qobject_cast<QComboBox *>(field))
        field->setAccessibleName(accessibleLabel(caption));
    layout->addRow(label, field);
}
} // namespace

TfrmAdatok::TfrmAdatok(ui::MainHost &host, QWidget *parent, db::Dataset *members)
    : ui::Dialog(parent)
    , m_host(host)
    , m_members(members)
    , atEsemeny(QStringLiteral("atEsemeny"), this)
{
    setObjectName(QStringLiteral("frmAdatok"));
    setWindowTitle(QStringLiteral("Adatok"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    QWidget *patientBox = createPatientBox();
    QWidget *eventBox = createEventBox();
    createButtons();
    layOut(patientBox, eventBox);

    connect(eTaj, &lists::TajEdit::exited, this,
            [this] { ui::guarded(this, [this] { eTajExit(eTaj); }); });
    // Enter moves the focus from these controls and from the form itself, from no other.
    for (QWidget *w : {static_cast<QWidget *>(eTaj), static_cast<QWidget *>(eNev),
                       static_cast<QWidget *>(dtpListara), static_cast<QWidget *>(cbEsemenynev),
                       static_cast<QWidget *>(dtpEsemDatum)})
        w->installEventFilter(this);

    FormCreate();
}

QWidget *TfrmAdatok::createPatientBox()
{
    auto *beteg = new QGroupBox(QStringLiteral("A Beteg Adatai"), this);
    beteg->setObjectName(QStringLiteral("gbBeteg"));
    beteg->setAccessibleName(beteg->title());
    eHivSzam = new QLineEdit(beteg);
    eHivSzam->setObjectName(QStringLiteral("eHivSzam"));
    eHivSzam->setReadOnly(true);
    eHivSzam->setEnabled(false);
    QPalette money = eHivSzam->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        money.setColor(group, QPalette::Base, moneyGreen);
    eHivSzam->setPalette(money);
    eTaj = new lists::TajEdit(QStringLiteral("eTaj"), beteg);
    eNev = new QLineEdit(beteg);
    eNev->setObjectName(QStringLiteral("eNev"));
    ui::TextValidator::limit(eNev, db::schema::width("LISTA", "NEV"));
    dtpListara = datePicker(beteg, "dtpListara", QStringLiteral("Listárakerülés"));

    rgSurgos = new ui::RadioGroup(
        QStringLiteral("rgSurgos"), QStringLiteral("Sürgősség"),
        {QStringLiteral("Azonnali (Akut)"), QStringLiteral("Halasztható")}, 2, beteg);

    auto *betegLayout = new QFormLayout(beteg);
    addLabelledRow(betegLayout, QStringLiteral("Hiv. Szám:"), eHivSzam);
    addLabelledRow(betegLayout, QStringLiteral("TAJ:"), eTaj);
    addLabelledRow(betegLayout, QStringLiteral("Név:"), eNev);
    addLabelledRow(betegLayout, QStringLiteral("Listárakerülés:"), dtpListara);
    betegLayout->addRow(rgSurgos);
    return beteg;
}

QWidget *TfrmAdatok::createEventBox()
{
    auto *esemeny = new QGroupBox(QStringLiteral("Esemény"), this);
    esemeny->setObjectName(QStringLiteral("gbEsemeny"));
    esemeny->setAccessibleName(esemeny->title());
    cbEsemenynev = new QComboBox(esemeny);
    cbEsemenynev->setObjectName(QStringLiteral("cbEsemenynev"));
    cbEsemenynev->setEditable(false);
    dtpEsemDatum = datePicker(esemeny, "dtpEsemDatum", QStringLiteral("Esemény dátuma"));
    auto *esemenyLayout = new QFormLayout(esemeny);
    addLabelledRow(esemenyLayout, QStringLiteral("Esemény neve:"), cbEsemenynev);
    addLabelledRow(esemenyLayout, QStringLiteral("Esemény dátuma:"), dtpEsemDatum);
    return esemeny;
}

void TfrmAdatok::createButtons()
{
    btnOK = ui::okBitBtn(QStringLiteral("btnOK"), this);
    btnCancel = ui::cancelBitBtn(QStringLiteral("btnCancel"), this);
    addButton(btnOK, ui::mrOk, [this] {
        // Whatever fails while saving, the dialog stays open with everything typed in it.
        try {
            btnOKClick();
        } catch (...) {
            setModalResult(ui::mrNone);
            throw;
        }
    });
    addButton(btnCancel, ui::mrCancel, [this] { btnCancelClick(); });
    setCancelButton(btnCancel);
}

void TfrmAdatok::layOut(QWidget *patientBox, QWidget *eventBox)
{
    auto *panel = new QHBoxLayout;
    panel->addStretch();
    panel->addWidget(btnOK);
    panel->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(patientBox);
    layout->addWidget(eventBox);
    layout->addLayout(panel);

    QWidget *order[] = {
        eHivSzam,          eTaj,         eNev,         dtpListara, rgSurgos->item(0),
        rgSurgos->item(1), cbEsemenynev, dtpEsemDatum, btnOK,      btnCancel,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfrmAdatok::FormCreate()
{
    lists::openEvents(atEsemeny, m_host.acZazadoroz());
    for (atEsemeny.first(); !atEsemeny.eof(); atEsemeny.next())
        cbEsemenynev->addItem(atEsemeny.asText(QStringLiteral("ES_NEV")));
    cbEsemenynev->setCurrentIndex(-1);
    mayClose = true;
}

void TfrmAdatok::showPatient(const QString &taj, const QString &nev, const QDate &listara,
                             int surgos)
{
    if (taj.isEmpty())
        eTaj->clear();
    else
        eTaj->setDigits(taj);
    eNev->setText(nev);
    dtpListara->setDate(listara);
    rgSurgos->setItemIndex(surgos);
}

void TfrmAdatok::showStored(const rules::ShownEntry &stored)
{
    // The person's choice of event and day stays; the next OK compares with this entry.
    showPatient(stored.taj, stored.nev, stored.listara, rules::urgencyItem(stored.surgosseg));
    m_shown = stored;
    mayClose = false;
}

void TfrmAdatok::fill(const rules::MemberFill &fill)
{
    eHivSzam->setText(fill.hivSzam);
    showPatient(fill.taj, fill.nev, fill.listara, fill.surgos);
    int eventIndex = -1;
    if (!fill.eventName.isEmpty()) {
        for (int i = 0; i < cbEsemenynev->count(); ++i) {
            if (cbEsemenynev->itemText(i).compare(fill.eventName, Qt::CaseInsensitive) == 0) {
                eventIndex = i;
                break;
            }
        }
    }
    cbEsemenynev->setCurrentIndex(eventIndex);
    dtpEsemDatum->setDate(fill.esemDatum);

    for (QWidget *patient : {static_cast<QWidget *>(eTaj), static_cast<QWidget *>(eNev),
                             static_cast<QWidget *>(dtpListara), static_cast<QWidget *>(rgSurgos)})
        patient->setEnabled(fill.newEntry);
    cbEsemenynev->setEnabled(!fill.newEntry);
    dtpEsemDatum->setEnabled(true);
    m_shown = fill.shown;
}

lists::MemberRequest TfrmAdatok::request() const
{
    lists::MemberRequest request;
    request.hivSzam = eHivSzam->text();
    request.beavtipKod = m_host.aktBeavtip();
    request.taj = eTaj->digits();
    request.nev = eNev->text();
    request.listara = dtpListara->date();
    request.surgos = rgSurgos->itemIndex();
    request.eventName = cbEsemenynev->currentText();
    request.esemDatum = dtpEsemDatum->date();
    request.today = db::today();
    request.shown = m_shown;
    return request;
}

void TfrmAdatok::btnCancelClick()
{
    mayClose = true;
}

void TfrmAdatok::eTajExit(lists::TajEdit *sender)
{
    bool ok = false;
    const qulonglong value = sender->digits().toULongLong(&ok);
    if (!ok)
        throw db::Error(QStringLiteral("A TAJ szám nem szám: ") + sender->displayText());
    QPalette palette = sender->palette();
    const bool valid = rules::tajValid(quint32(value));
    palette.setColor(QPalette::Base, valid ? tajValidColor : tajInvalidColor);
    sender->setPalette(palette);
    // The colour in words, for those who do not see it.
    sender->setAccessibleDescription(valid ? QStringLiteral("érvényes TAJ-szám")
                                           : QStringLiteral("érvénytelen TAJ-szám"));
}

bool TfrmAdatok::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        FormKeyDown(key->key(), key->modifiers());
    }
    return ui::Dialog::eventFilter(watched, event);
}

void TfrmAdatok::keyPressEvent(QKeyEvent *event)
{
    // The form's own handler: only while no control of it has the focus.
    QWidget *focus = focusWidget();
    if (!focus || focus == this)
        FormKeyDown(event->key(), event->modifiers());
    ui::Dialog::keyPressEvent(event);
}

void TfrmAdatok::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    // The keypad's Enter is Enter; only Shift alone, with no mouse button held, goes back.
    const bool previous = (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier
                          && QGuiApplication::mouseButtons() == Qt::NoButton;
    // Posted, as the key is not consumed: the focus moves once the key has been handled.
    QMetaObject::invokeMethod(
        this, [this, previous] { focusNextPrevChild(!previous); }, Qt::QueuedConnection);
}

bool TfrmAdatok::ValidateInput()
{
    rules::MemberInput input;
    input.newEntry = eHivSzam->text().isEmpty();
    input.tajDigits = eTaj->digits();
    input.listara = dtpListara->date();
    input.surgos = rgSurgos->itemIndex();
    input.eventText = cbEsemenynev->currentText();
    input.esemDatum = dtpEsemDatum->date();
    const auto failure = lists::checkInput(input, m_members, db::today());
    if (!failure)
        return true;
    ui::showMessage(this, failure->message);
    // The urgency group hands the focus on to its chosen item, or to the first one.
    QWidget *control = findChild<QWidget *>(failure->focus);
    if (control)
        control->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrmAdatok::btnOKClick()
{
    if (!ValidateInput()) {
        mayClose = false;
        return;
    }
    mayClose = true;
    const lists::SaveOutcome outcome
        = lists::saveMember(m_host.acZazadoroz(), atEsemeny, request());
    // Only now that the write transaction has ended may a message wait for the user.
    if (outcome.result == lists::SaveOutcome::Result::ChangedMeanwhile && outcome.stored) {
        showStored(*outcome.stored);
        ui::showMessage(this, rules::changedMeanwhileMessage(*outcome.stored));
        return;
    }
    if (outcome.result == lists::SaveOutcome::Result::EntryGone)
        ui::showMessage(this, rules::message::entryGone.toString());
    if (outcome.result == lists::SaveOutcome::Result::EventNotFound)
        ui::showMessage(this, rules::message::eventNotFound.toString());
    if (outcome.logFailed)
        ui::showMessage(this, rules::message::logFailed.toString());
    if (outcome.error)
        throw db::Error(*outcome.error);
}
