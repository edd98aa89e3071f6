#include "ufrmBejel.h"

#include "rules/department.h"

#include "dataset/dataset.h"
#include "ui/controls.h"
#include "ui/help.h"
#include "ui/loginhost.h"
#include "ui/messages.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmBejel::TfrmBejel(ui::LoginHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmBejel"));
    setWindowTitle(QStringLiteral("Várólista - Bejelentkezés"));
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ui::setHelpContext(this, 30);

    auto *lblPassword = ui::label(QStringLiteral("lblPassword"), QStringLiteral("Jelszó"), this);
    ePassword = ui::edit(QStringLiteral("ePassword"), 30, lblPassword, this);
    ui::setPasswordStyle(ePassword);
    btnOK = ui::okBitBtn(QStringLiteral("btnOK"), this);
    btnCancel = ui::cancelBitBtn(QStringLiteral("btnCancel"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPassword);
    layout->addWidget(ePassword);
    layout->addLayout(ui::okCancelRow(btnCancel, btnOK));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ePassword->setMinimumWidth(220);
    ui::keepTitleInSight(this);

    QWidget::setTabOrder(ePassword, btnOK);
    QWidget::setTabOrder(btnOK, btnCancel);

    addButton(btnOK, ui::mrOk, [this] { btnOKClick(); });
    addButton(btnCancel, ui::mrCancel, [this] { btnCancelClick(); });
    setDefaultButton(btnOK);
    setCancelButton(btnCancel);

    ui::centreOnScreen(this);
}

void TfrmBejel::btnOKClick()
{
    // Cleared first: a department row that cannot be read lets nobody in.
    m_mayClose = false;
    const QString typed = ePassword->text();
    const QString stored
        = typed.isEmpty() ? QString() : m_host.departmentRow().asText(QStringLiteral("JELSZO"));
    if (const auto refusal = rules::loginRefusal(typed, stored)) {
        ui::showMessage(this, *refusal);
        ePassword->setFocus();
        return;
    }
    m_mayClose = true;
}

void TfrmBejel::btnCancelClick()
{
    m_mayClose = true;
}
