#include "ufrmTAJkeres.h"

#include "tajedit.h"

#include "rules/messages.h"
#include "rules/taj.h"
#include "ui/controls.h"
#include "ui/help.h"
#include "ui/mainhost.h"
#include "ui/messages.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int dialogHelpContext = 40;
} // namespace

TfrmTAJkeres::TfrmTAJkeres(ui::MainHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmTAJkeres"));
    setWindowTitle(QStringLiteral("TAJ keresése"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, dialogHelpContext);

    auto *label = ui::label(QStringLiteral("Label1"), QStringLiteral("A keresendő TAJ:"), this);
    label->setStyleSheet(QStringLiteral("color: #800000;")); // maroon
    eTaj = new lists::TajEdit(QStringLiteral("eTaj"), this);
    eTaj->setAccessibleName(label->text());
    label->setBuddy(eTaj);

    btnCancel = ui::cancelBitBtn(QStringLiteral("btnCancel"), this);
    btnOK = ui::okBitBtn(QStringLiteral("btnOK"), this);
    addButton(btnOK, ui::mrOk, [this] { btnOKClick(); });
    addButton(btnCancel, ui::mrCancel);
    setDefaultButton(btnOK);
    setCancelButton(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(eTaj);
    layout->addStretch();
    layout->addLayout(ui::okCancelRow(btnCancel, btnOK));
    setTabOrder(eTaj, btnOK);
    setTabOrder(btnOK, btnCancel);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
}

void TfrmTAJkeres::btnOKClick()
{
    const QString taj = eTaj->digits();
    if (taj == rules::noTaj()) {
        setModalResult(ui::mrNone);
        ui::showMessage(this, rules::message::tajEmpty.toString());
        eTaj->setFocus();
        return;
    }
    m_host.setAktTAJ(taj);
}
