#include "ufrmListaValaszto.h"

#include "ui/controls.h"
#include "ui/dbgrid.h"
#include "ui/help.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int helpContext = 50;
constexpr int nameColumnPixels = 250;
constexpr int countDisplayWidth = 10;
} // namespace

TfrmListaValaszto::TfrmListaValaszto(ui::DataSource &dsListaDb, QWidget *parent)
    : ui::Dialog(parent)
{
    setObjectName(QStringLiteral("frmListaValaszto"));
    setWindowTitle(QStringLiteral("Lista Választása"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    DBGrid1 = new ui::DbGrid(QStringLiteral("DBGrid1"), this);
    DBGrid1->setAccessibleName(windowTitle());
    // The same two columns whatever dataset is bound.
    DBGrid1->setColumns({
        {QStringLiteral("BEAVTIP_NEV"), QStringLiteral("Várólista Beavatkozástípusa"), 0,
         nameColumnPixels},
        {QStringLiteral("Listatagok"), QStringLiteral("Listatagok"), countDisplayWidth},
    });
    DBGrid1->setDataSource(&dsListaDb);

    btnCancel = ui::cancelBitBtn(QStringLiteral("btnCancel"), this);
    btnOK = ui::okBitBtn(QStringLiteral("btnOK"), this);
    addButton(btnOK, ui::mrOk);
    addButton(btnCancel, ui::mrCancel);
    setDefaultButton(btnOK);
    setCancelButton(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(ui::okCancelRow(btnCancel, btnOK));

    setTabOrder(DBGrid1, btnOK);
    setTabOrder(btnOK, btnCancel);
    resize(420, 300);
}
