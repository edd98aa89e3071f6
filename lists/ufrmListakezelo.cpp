#include "ufrmListakezelo.h"

#include "member.h"
#include "ufrmAdatok.h"

#include "db/clock.h"
#include "db/fields.h"
#include "db/statements.h"
#include "ui/controls.h"
#include "ui/dbgrid.h"
#include "ui/help.h"
#include "ui/mainhost.h"
#include "ui/modal.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int helpContext = 60;

} // namespace

TfrmListakezelo::TfrmListakezelo(ui::MainHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
    , m_aqListaAdatok(QStringLiteral("aqListaAdatok"), this)
    , m_dsListaAdatok(QStringLiteral("dsListaAdatok"), this)
{
    setObjectName(QStringLiteral("frmListakezelo"));
    setWindowTitle(QStringLiteral("Listakezelő"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    m_aqListaAdatok.setSql(db::statements::memberQuery());
    m_aqListaAdatok.setFields(db::fields::members());
    m_dsListaAdatok.setDataset(&m_aqListaAdatok);

    bbOK = ui::okBitBtn(QStringLiteral("bbOK"), this);
    bbUjTag = ui::button(QStringLiteral("bbUjTag"), QStringLiteral("Új Listatag hozzáadása"),
                         QStringLiteral("ujtag"), this);
    bbEsem = ui::button(QStringLiteral("bbEsem"), QStringLiteral("Esemény bejegyzése"),
                        QStringLiteral("esem"), this);
    bbUjTag->setIconSize(QSize(28, 28));
    bbEsem->setIconSize(QSize(28, 28));
    bbEsem->setEnabled(false);

    dbgLista = new ui::DbGrid(QStringLiteral("dbgLista"), this);
    dbgLista->setAccessibleName(windowTitle());
    dbgLista->setColumns(memberColumns());
    dbgLista->setDataSource(&m_dsListaAdatok);

    addButton(bbOK, ui::mrOk);
    addButton(bbUjTag, ui::mrNone, [this] { bbEsemClick(bbUjTag->objectName()); });
    addButton(bbEsem, ui::mrNone, [this] { bbEsemClick(bbEsem->objectName()); });
    setDefaultButton(bbOK);
    // Esc adds a new member; the close box still closes the window.
    setCancelButton(bbUjTag);

    auto *panel = new QHBoxLayout;
    panel->addWidget(bbUjTag);
    panel->addWidget(bbEsem);
    panel->addStretch();
    panel->addWidget(bbOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(dbgLista, 1);
    layout->addLayout(panel);

    setTabOrder(bbOK, bbUjTag);
    setTabOrder(bbUjTag, bbEsem);
    setTabOrder(bbEsem, dbgLista);

    // Every column in sight from the start, as far as the desktop is wide.
    const QMargins margins = layout->contentsMargins();
    const int width = std::max(sizeHint().width(),
                               dbgLista->widthForAllColumns() + margins.left() + margins.right());
    ui::centreOnScreen(this, QSize(width, 520));
}

QList<ui::GridColumn> TfrmListakezelo::memberColumns()
{
    return {
        {QStringLiteral("HIV_SZAM"), QStringLiteral("Hiv. Szám"), 10},
        {QStringLiteral("TAJ"), QStringLiteral("TAJ"), 9},
        {QStringLiteral("NEV"), QStringLiteral("Név"), 30},
        {QStringLiteral("LISTARA_DATUM"), QStringLiteral("Listárakerülés"), 10},
        {QStringLiteral("SURGOSSEG"), QStringLiteral("Sürgős"), 1},
        {QStringLiteral("ES_NEV"), QStringLiteral("Esemény"), 20},
        {QStringLiteral("ESEM_DATUM"), QStringLiteral("Esemény dátum"), 10},
        {QStringLiteral("ESEM_KOD"), QStringLiteral("ESEM_KOD"), 0, 0, true},
    };
}

void TfrmListakezelo::readMembers()
{
    m_aqListaAdatok.setConnection(&m_host.acZazadoroz());
    m_aqListaAdatok.close();
    m_aqListaAdatok.setParameter(QStringLiteral("Aktbeavtip"), m_host.aktBeavtip());
    m_aqListaAdatok.open();
    bbEsem->setEnabled(m_aqListaAdatok.recordCount() > 0);
}

void TfrmListakezelo::bbEsemClick(const QString &senderName)
{
    // Owned by this window: it stays, hidden, until the window itself goes.
    auto *frmAdatok = new TfrmAdatok(m_host, this);
    if (senderName == u"bbEsem")
        frmAdatok->fill(lists::eventFill(m_aqListaAdatok, db::today()));
    else
        frmAdatok->fill(lists::newEntryFill(db::today()));
    ui::execModal(frmAdatok);
    readMembers();
}
