#include "ufrmOsztaly.h"

#include "dataset/dataset.h"
#include "db/error.h"
#include "db/registration.h"
#include "db/schema.h"
#include "rules/messages.h"
#include "ui/controls.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/loginhost.h"
#include "ui/messages.h"
#include "ui/radiogroup.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmOsztaly::TfrmOsztaly(ui::LoginHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmOsztaly"));
    setWindowTitle(QStringLiteral("Az Intézet és az Osztály megadása"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, 20);

    auto *lblDORVKod = ui::label(QStringLiteral("lblDORVKod"),
                                 QStringLiteral("Az Intézet 4 jegyű DORV kódja *: "), this);
    eDORVKod = ui::edit(QStringLiteral("eDORVKod"), db::schema::width("OSZTALY", "INTKOD"),
                        lblDORVKod, this);
    auto *lblFinKod
        = ui::label(QStringLiteral("lblFinKod"),
                    QStringLiteral("Az Osztály 9 jegyű DORV finanszírozási kódja *: "), this);
    eFinKod = ui::edit(QStringLiteral("eFinKod"), db::schema::width("OSZTALY", "FINKOD"), lblFinKod,
                       this);
    auto *lblOsztNev
        = ui::label(QStringLiteral("lblOsztNev"), QStringLiteral("Az Osztály megnevezése: "), this);
    const int osztNevLength = db::schema::width("OSZTALY", "OSZTALYNEV");
    eOsztNev = ui::edit(QStringLiteral("eOsztNev"), osztNevLength, lblOsztNev, this);
    eOsztNev->setMinimumWidth(ui::widthForCharacters(eOsztNev, osztNevLength));
    rgOsztTipus
        = new ui::RadioGroup(QStringLiteral("rgOsztTipus"), QStringLiteral("Az Osztály típusa *"),
                             {QStringLiteral("Járóbeteg"), QStringLiteral("Fekvőbeteg")}, 2, this);
    auto *lblJelszo
        = ui::label(QStringLiteral("lblJelszo"), QStringLiteral("Belépési jelszó *: "), this);
    const int passwordLength = db::schema::width("OSZTALY", "JELSZO");
    eJelszo = ui::edit(QStringLiteral("eJelszo"), passwordLength, lblJelszo, this);
    ui::setPasswordStyle(eJelszo);
    auto *lblJelszoUjra
        = ui::label(QStringLiteral("lblJelszoUjra"), QStringLiteral("még egyszer *: "), this);
    eJelszoUjra = ui::edit(QStringLiteral("eJelszoUjra"), passwordLength, lblJelszoUjra, this);
    ui::setPasswordStyle(eJelszoUjra);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    BitBtn1 = ui::okBitBtn(QStringLiteral("BitBtn1"), Panel1);
    BitBtn2 = ui::cancelBitBtn(QStringLiteral("BitBtn2"), Panel1);
    ui::okCancelRow(BitBtn2, BitBtn1, Panel1);

    auto *fields = new QGridLayout;
    fields->addWidget(lblDORVKod, 0, 0);
    fields->addWidget(eDORVKod, 0, 1);
    fields->addWidget(lblFinKod, 1, 0);
    fields->addWidget(eFinKod, 1, 1);
    fields->addWidget(lblOsztNev, 2, 0);
    fields->addWidget(eOsztNev, 2, 1);
    fields->addWidget(rgOsztTipus, 3, 0, 1, 2);
    fields->addWidget(lblJelszo, 4, 0);
    fields->addWidget(eJelszo, 4, 1);
    fields->addWidget(lblJelszoUjra, 5, 0);
    fields->addWidget(eJelszoUjra, 5, 1);
    fields->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(Panel1);

    QWidget::setTabOrder(eDORVKod, eFinKod);
    QWidget::setTabOrder(eFinKod, eOsztNev);
    QWidget::setTabOrder(eOsztNev, rgOsztTipus->item(0));
    QWidget::setTabOrder(rgOsztTipus->item(0), rgOsztTipus->item(1));
    QWidget::setTabOrder(rgOsztTipus->item(1), eJelszo);
    QWidget::setTabOrder(eJelszo, eJelszoUjra);
    QWidget::setTabOrder(eJelszoUjra, BitBtn1);
    QWidget::setTabOrder(BitBtn1, BitBtn2);

    // No default button: Enter in an edit must not register the department half-typed.
    addButton(BitBtn1, ui::mrOk, [this] { BitBtn1Click(); });
    addButton(BitBtn2, ui::mrCancel, [this] { BitBtn2Click(); });
    setCancelButton(BitBtn2);

    ui::centreOnScreen(this);
}

rules::DepartmentInput TfrmOsztaly::input() const
{
    return {eDORVKod->text(),         eFinKod->text(), eOsztNev->text(),
            rgOsztTipus->itemIndex(), eJelszo->text(), eJelszoUjra->text()};
}

void TfrmOsztaly::focusField(rules::DepartmentField field)
{
    switch (field) {
    case rules::DepartmentField::Intkod:
        eDORVKod->setFocus();
        break;
    case rules::DepartmentField::Finkod:
        eFinKod->setFocus();
        break;
    case rules::DepartmentField::Type:
        rgOsztTipus->setFocus();
        break;
    case rules::DepartmentField::Password:
        eJelszo->setFocus();
        break;
    }
}

void TfrmOsztaly::BitBtn1Click()
{
    // Only a written department row lets the dialog close as accepted: the program must never
    // run on without one. A refused or failed press keeps everything typed for another try.
    m_mayClose = false;
    const rules::DepartmentInput typed = input();
    if (const auto problem = rules::registrationProblem(typed)) {
        ui::showMessage(this, problem->message);
        focusField(problem->field);
        return;
    }

    db::Registration outcome = db::Registration::Inserted;
    try {
        outcome = db::registerDepartment(m_host.connection(),
                                         {typed.intkod, typed.finkod,
                                          rules::departmentTypeLetter(typed.typeIndex), typed.name,
                                          typed.password});
    } catch (const db::Error &error) {
        ui::showError(this, error.message());
        return;
    }
    m_mayClose = true;

    if (outcome == db::Registration::AlreadyRegistered) {
        // Someone else's department row: entering it takes its own password, at the next start.
        ui::showMessage(this, rules::message::registeredMeanwhile.toString());
        setModalResult(ui::mrCancel);
        return;
    }

    // The row is there, so the dialog closes as accepted even if the reread fails.
    ui::guarded(this, [this] {
        m_host.departmentRow().close();
        m_host.departmentRow().open();
    });
}

void TfrmOsztaly::BitBtn2Click()
{
    m_mayClose = true;
}
