#include "ufrmNaplo.h"

#include "ui/controls.h"
#include "ui/help.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// The window belongs to the list manager and is described in its help.
constexpr int helpContext = 60;
} // namespace

TfrmNaplo::TfrmNaplo(const QString &member, const QList<lists::HistoryLine> &lines, QWidget *parent)
    : ui::Dialog(parent)
{
    setObjectName(QStringLiteral("frmNaplo"));
    setWindowTitle(QStringLiteral("Napló"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    lblTag = ui::label(QStringLiteral("lblTag"), member, this);
    lblTag->setAccessibleDescription(QStringLiteral("A kiválasztott tag"));

    m_model = new QStandardItemModel(0, 4, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Időpont"), QStringLiteral("Mező"),
                                        QStringLiteral("Régi érték"), QStringLiteral("Új érték")});
    for (const lists::HistoryLine &line : lines) {
        QList<QStandardItem *> row;
        for (const QString &text : {line.when, line.field, line.oldValue, line.newValue}) {
            auto *item = new QStandardItem(text);
            item->setEditable(false);
            row << item;
        }
        m_model->appendRow(row);
    }

    dbgNaplo = new QTableView(this);
    dbgNaplo->setObjectName(QStringLiteral("dbgNaplo"));
    dbgNaplo->setAccessibleName(QStringLiteral("Az eseményváltozások naplója"));
    dbgNaplo->setModel(m_model);
    dbgNaplo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgNaplo->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgNaplo->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgNaplo->setTabKeyNavigation(false);
    dbgNaplo->verticalHeader()->hide();
    dbgNaplo->horizontalHeader()->setStretchLastSection(true);
    dbgNaplo->resizeColumnsToContents();

    btnOK = ui::okBitBtn(QStringLiteral("btnOK"), this);
    addButton(btnOK, ui::mrOk);
    setDefaultButton(btnOK);
    setCancelButton(btnOK);

    auto *panel = new QHBoxLayout;
    panel->addStretch();
    panel->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTag);
    layout->addWidget(dbgNaplo, 1);
    layout->addLayout(panel);
    setTabOrder(dbgNaplo, btnOK);
    ui::centreOnScreen(this, QSize(640, 360));
}
