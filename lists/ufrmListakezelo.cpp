#include "ufrmListakezelo.h"

#include "memberhistory.h"
#include "memberorder.h"
#include "membersave.h"
#include "ufrmAdatok.h"
#include "ufrmNaplo.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/clock.h"
#include "db/error.h"
#include "db/statements.h"
#include "rules/member.h"
#include "tables/tableprinter.h"
#include "tables/texttable.h"
#include "ui/controls.h"
#include "ui/dbgrid.h"
#include "ui/help.h"
#include "ui/mainhost.h"
#include "ui/messages.h"
#include "ui/modal.h"
#include "ui/rowmapmodel.h"
#include "ui/tableoutput.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {
constexpr int helpContext = 60;
// Columns of the listing that hold numbers: the reference number and the waiting days.
constexpr int hivSzamColumn = 0;

QPushButton *helperButton(const char *name, const QString &caption, const QString &accessible,
                          QWidget *parent)
{
    QPushButton *button = ui::button(QString::fromLatin1(name), caption, QString(), parent);
    button->setAccessibleName(accessible);
    ui::setHelpContext(button, helpContext);
    return button;
}
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

    createActions();
    createGrid();
    createHelpers();
    connectControls();
    layOut();
}

void TfrmListakezelo::createActions()
{
    bbOK = ui::okBitBtn(QStringLiteral("bbOK"), this);
    bbUjTag = ui::button(QStringLiteral("bbUjTag"), QStringLiteral("Új Listatag hozzáadása"),
                         QStringLiteral("ujtag"), this);
    bbEsem = ui::button(QStringLiteral("bbEsem"), QStringLiteral("Esemény bejegyzése"),
                        QStringLiteral("esem"), this);
    bbUjTag->setIconSize(QSize(28, 28));
    bbEsem->setIconSize(QSize(28, 28));
    bbEsem->setEnabled(false);
}

void TfrmListakezelo::createGrid()
{
    dbgLista = new ui::DbGrid(QStringLiteral("dbgLista"), this);
    dbgLista->setAccessibleName(windowTitle());
    dbgLista->setColumns(memberColumns());
    dbgLista->setDataSource(&m_dsListaAdatok);
    // A wider window shows more of the long texts: the name and the event.
    dbgLista->setStretchColumns({QStringLiteral("NEV"), QStringLiteral("ES_NEV")});
    m_shown = new ui::RowMapModel(this);
    dbgLista->setProxy(m_shown);
    dbgLista->viewport()->installEventFilter(this);
    QHeaderView *titles = dbgLista->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
}

void TfrmListakezelo::createHelpers()
{
    // The helpers come after the window's own controls, in tab order too.
    lblKereses = ui::label(QStringLiteral("lblKereses"), QStringLiteral("Keresés:"), this);
    eKereses = new QLineEdit(this);
    eKereses->setObjectName(QStringLiteral("eKereses"));
    eKereses->setAccessibleName(QStringLiteral("Keresés név vagy TAJ szám szerint"));
    eKereses->setPlaceholderText(QStringLiteral("név vagy TAJ szám"));
    ui::setHelpContext(eKereses, helpContext);
    lblKereses->setBuddy(eKereses);
    btnKeresTorol = helperButton("btnKeresTorol", QStringLiteral("Törlés"),
                                 QStringLiteral("Keresés törlése"), this);
    btnNyomtat = helperButton("btnNyomtat", QStringLiteral("Nyomtatás..."),
                              QStringLiteral("A látható tagok nyomtatása"), this);
    btnPdf = helperButton("btnPdf", QStringLiteral("Mentés PDF-be..."),
                          QStringLiteral("A látható tagok mentése PDF fájlba"), this);
    btnCsv = helperButton("btnCsv", QStringLiteral("Mentés CSV-be..."),
                          QStringLiteral("A látható tagok mentése táblázatkezelőnek"), this);
    btnNaplo = helperButton("btnNaplo", QStringLiteral("Napló..."),
                            QStringLiteral("A kiválasztott tag eseménynaplója"), this);
    btnNaplo->setEnabled(false);
    // The count line is read out by its own text; what it is for is its description.
    lblAllapot = ui::label(QStringLiteral("lblAllapot"), QString(), this);
    lblAllapot->setAccessibleDescription(QStringLiteral("A lista adatai"));
    // In the grid's place while a search finds nobody, so an empty grid is never mistaken
    // for an empty list.
    lblNincsTalalat
        = ui::label(QStringLiteral("lblNincsTalalat"), QStringLiteral("Nincs találat"), this);
    lblNincsTalalat->setAlignment(Qt::AlignCenter);
    lblNincsTalalat->setAutoFillBackground(true);
    lblNincsTalalat->setBackgroundRole(QPalette::Base);
}

void TfrmListakezelo::connectControls()
{
    addButton(bbOK, ui::mrOk);
    addButton(bbUjTag, ui::mrNone, [this] { bbEsemClick(bbUjTag->objectName()); });
    addButton(bbEsem, ui::mrNone, [this] { bbEsemClick(bbEsem->objectName()); });
    addButton(btnKeresTorol, ui::mrNone, [this] { eKereses->clear(); });
    addButton(btnNyomtat, ui::mrNone, [this] { btnNyomtatClick(); });
    addButton(btnPdf, ui::mrNone, [this] { btnPdfClick(); });
    addButton(btnCsv, ui::mrNone, [this] { btnCsvClick(); });
    addButton(btnNaplo, ui::mrNone, [this] { btnNaploClick(); });
    setDefaultButton(bbOK);
    // Esc adds a new member; the close box still closes the window.
    setCancelButton(bbUjTag);

    connect(eKereses, &QLineEdit::textChanged, this, [this] { applySearch(); });
    connect(dbgLista->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { sortBy(section); });
    connect(&m_aqListaAdatok, &db::Dataset::currentRowChanged, this,
            [this](int row) { currentMoved(row); });
    connect(&m_aqListaAdatok, &db::Dataset::opened, this, [this] {
        m_listaraColumn = m_aqListaAdatok.columnIndex(QStringLiteral("LISTARA_DATUM"));
    });
    connect(&m_aqListaAdatok, &db::Dataset::closed, this, [this] {
        m_search.clear();
        m_order.clear();
    });
}

void TfrmListakezelo::layOut()
{
    auto *helpers = new QHBoxLayout;
    helpers->addWidget(lblKereses);
    helpers->addWidget(eKereses, 1);
    helpers->addWidget(btnKeresTorol);
    helpers->addStretch();
    helpers->addWidget(btnNyomtat);
    helpers->addWidget(btnPdf);
    helpers->addWidget(btnCsv);
    helpers->addWidget(btnNaplo);
    auto *panel = new QHBoxLayout;
    panel->addWidget(bbUjTag);
    panel->addWidget(bbEsem);
    panel->addStretch();
    panel->addWidget(bbOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(helpers);
    m_gridPlace = new QStackedLayout;
    m_gridPlace->addWidget(dbgLista);
    m_gridPlace->addWidget(lblNincsTalalat);
    layout->addLayout(m_gridPlace, 1);
    layout->addWidget(lblAllapot);
    layout->addLayout(panel);

    QWidget *order[] = {bbOK,          bbUjTag,    bbEsem, dbgLista, eKereses,
                        btnKeresTorol, btnNyomtat, btnPdf, btnCsv,   btnNaplo};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Every column in sight from the start and most of the desktop's height for the rows, as
    // far as the desktop reaches.
    const QMargins margins = layout->contentsMargins();
    const int width = std::max(sizeHint().width(),
                               dbgLista->widthForAllColumns() + margins.left() + margins.right());
    const int height = std::max(sizeHint().height(), ui::desktopArea(this).height() * 17 / 20);
    ui::centreOnScreen(this, QSize(width, height));
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
    m_aqListaAdatok.setParameter(QStringLiteral("Aktbeavtip"), m_host.aktBeavtip());
    // A reading that fails keeps the rows read before on screen, never an empty grid that
    // looks like an empty list.
    m_aqListaAdatok.refresh();
    m_readFailed = false;
    bbEsem->setEnabled(m_aqListaAdatok.recordCount() > 0);
    membersRead();
    // Told once per set of odd rows: a re-read after each event does not repeat it.
    const QString odd = lists::oddEntriesMessage(m_aqListaAdatok);
    if (!odd.isEmpty() && odd != m_oddEntriesTold)
        ui::showMessage(this, odd);
    m_oddEntriesTold = odd;
}

void TfrmListakezelo::rereadMembers()
{
    try {
        readMembers();
    } catch (const db::Error &e) {
        m_readFailed = true;
        applySearch();
        ui::showMessage(this, lists::rereadFailedMessage(ui::errorDisplayText(e.message())));
    }
}

void TfrmListakezelo::membersRead()
{
    // The search keys wait for the first search: the list is painted without them.
    m_search.clear();
    if (m_listName.isEmpty())
        m_listName = lists::readListName(m_host.acZazadoroz(), m_host.aktBeavtip());
    // Each reading comes in the list's own order, with its first row current.
    m_sortColumn = -1;
    m_descending = false;
    dbgLista->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_order = lists::ownOrder(m_aqListaAdatok);
    applySearch();
    // Folded once the list has been painted, before anyone can type a letter.
    m_foldAfterPaint = true;
}

bool TfrmListakezelo::eventFilter(QObject *watched, QEvent *event)
{
    // Queued from the paint, the fold runs when the paint is over.
    if (m_foldAfterPaint && watched == dbgLista->viewport() && event->type() == QEvent::Paint) {
        m_foldAfterPaint = false;
        QTimer::singleShot(0, this, [this] { buildSearchKeys(); });
    }
    return ui::Dialog::eventFilter(watched, event);
}

void TfrmListakezelo::buildSearchKeys()
{
    const int rows = m_aqListaAdatok.isOpen() ? m_aqListaAdatok.recordCount() : 0;
    if (m_search.rowCount() == rows)
        return;
    const int nev = m_aqListaAdatok.columnIndex(QStringLiteral("NEV"));
    const int taj = m_aqListaAdatok.columnIndex(QStringLiteral("TAJ"));
    qsizetype nameBytes = 0;
    qsizetype tajBytes = 0;
    for (int row = 0; row < rows; ++row) {
        nameBytes += m_aqListaAdatok.utf8(row, nev).size();
        tajBytes += m_aqListaAdatok.utf8(row, taj).size();
    }
    m_search.clear();
    m_search.reserve(rows, nameBytes, tajBytes);
    for (int row = 0; row < rows; ++row)
        m_search.addRow(m_aqListaAdatok.utf8(row, nev), m_aqListaAdatok.utf8(row, taj));
}

QDate TfrmListakezelo::listedDay(int row) const
{
    qint64 day = 0;
    return m_aqListaAdatok.julianDay(row, m_listaraColumn, &day) ? QDate::fromJulianDay(day)
                                                                 : QDate();
}

void TfrmListakezelo::applySearch()
{
    const QString query = eKereses->text();
    if (!lists::MemberSearch::isEmptyQuery(query))
        buildSearchKeys();
    std::vector<int> rows = m_search.filter(query, m_order);
    const bool anyShown = !rows.empty();
    const int first = anyShown ? rows.front() : -1;
    m_shown->setRows(std::move(rows));
    // The current row is always one the person sees, so an event goes to a member in sight.
    if (anyShown && m_aqListaAdatok.isOpen() && dbgLista->viewRow(m_aqListaAdatok.currentRow()) < 0)
        m_aqListaAdatok.setCurrentRow(first);
    const bool members = m_aqListaAdatok.isOpen() && m_aqListaAdatok.recordCount() > 0;
    bbEsem->setEnabled(members && anyShown);
    btnNaplo->setEnabled(members && anyShown);
    markSearch(!anyShown);
    updateStatus();
}

void TfrmListakezelo::sortBy(int visibleColumn)
{
    const QList<ui::GridColumn> &columns = dbgLista->datasetModel()->visibleColumns();
    if (visibleColumn < 0 || visibleColumn >= columns.size() || !m_aqListaAdatok.isOpen())
        return;
    m_descending = visibleColumn == m_sortColumn && !m_descending;
    m_sortColumn = visibleColumn;
    m_order = lists::sortedOrder(m_aqListaAdatok, columns.at(visibleColumn).field, m_descending);
    dbgLista->horizontalHeader()->setSortIndicator(
        visibleColumn, m_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    applySearch();
    dbgLista->scrollTo(dbgLista->currentIndex());
}

void TfrmListakezelo::currentMoved(int row)
{
    // A member the search hides became current (the member dialog found its TAJ): the
    // search goes, so the person sees the row.
    if (row < 0 || row >= m_aqListaAdatok.recordCount() || dbgLista->viewRow(row) >= 0)
        return;
    if (!eKereses->text().isEmpty())
        eKereses->clear();
}

void TfrmListakezelo::updateStatus()
{
    // The longest wait is the earliest listing day among the members shown.
    std::optional<qint64> earliest;
    if (m_aqListaAdatok.isOpen()) {
        for (const int row : m_shown->rows()) {
            qint64 day = 0;
            if (m_aqListaAdatok.julianDay(row, m_listaraColumn, &day)
                && (!earliest || day < *earliest))
                earliest = day;
        }
    }
    const std::optional<int> longest
        = earliest ? lists::waitingDays(QDate::fromJulianDay(*earliest), db::today())
                   : std::nullopt;
    QString status = lists::statusLine(m_listName, m_shown->rowCount(),
                                       m_aqListaAdatok.recordCount(), longest, activeSearch());
    if (m_readFailed)
        status += lists::staleListNote();
    lblAllapot->setText(status);
}

QString TfrmListakezelo::activeSearch() const
{
    const QString text = eKereses->text();
    return lists::MemberSearch::isEmptyQuery(text) ? QString() : text.trimmed();
}

void TfrmListakezelo::markSearch(bool nothingFound)
{
    const bool searching = !activeSearch().isEmpty();
    m_gridPlace->setCurrentWidget(
        searching && nothingFound ? static_cast<QWidget *>(lblNincsTalalat) : dbgLista);
    // The box stands out while it narrows the list, for the eye and for a screen reader.
    if (searching == eKereses->property("szur").toBool())
        return;
    eKereses->setProperty("szur", searching);
    eKereses->setStyleSheet(searching ? QStringLiteral("QLineEdit { background: #fff0a0; "
                                                       "font-weight: bold; }")
                                      : QString());
    eKereses->setAccessibleDescription(
        searching ? QStringLiteral("A keresés szűri a listát: csak a megfelelő tagok látszanak.")
                  : QString());
}

lists::MemberListing TfrmListakezelo::shownMembers() const
{
    lists::MemberListing listing;
    const lists::DepartmentName department = lists::departmentName(m_host.atOsztaly());
    listing.listName = m_listName;
    const QDate today = db::today();
    listing.heading = lists::memberHeading(department, m_listName, today, activeSearch(),
                                           m_shown->rowCount(), m_aqListaAdatok.recordCount());
    const int columns = m_shown->columnCount();
    for (int c = 0; c < columns; ++c)
        listing.titles << m_shown->headerData(c, Qt::Horizontal).toString();
    listing.titles << lists::waitingDaysTitle();
    listing.numberColumns = {hivSzamColumn, columns};
    listing.rows = shownRows(today);
    return listing;
}

QList<QStringList> TfrmListakezelo::shownRows(const QDate &today) const
{
    // Read where the grid reads them, as the grid shows them; a day is formatted once, however
    // many members share it.
    std::vector<int> source;
    for (const ui::GridColumn &column : dbgLista->datasetModel()->visibleColumns())
        source.push_back(m_aqListaAdatok.columnIndex(column.field));
    QHash<qint64, QString> dayTexts;
    QList<QStringList> rows;
    rows.reserve(qsizetype(m_shown->rows().size()));
    for (const int row : m_shown->rows()) {
        QStringList cells;
        cells.reserve(qsizetype(source.size()) + 1);
        for (const int column : source) {
            qint64 day = 0;
            if (!m_aqListaAdatok.julianDay(row, column, &day)) {
                cells << ui::DatasetModel::displayText(m_aqListaAdatok.value(row, column));
                continue;
            }
            auto text = dayTexts.constFind(day);
            if (text == dayTexts.cend())
                text = dayTexts.insert(day,
                                       ui::DatasetModel::displayText(QDate::fromJulianDay(day)));
            cells << *text;
        }
        const std::optional<int> days = lists::waitingDays(listedDay(row), today);
        cells << (days ? QString::number(*days) : QString());
        rows << cells;
    }
    return rows;
}

QString TfrmListakezelo::suggestedFileName(const QString &suffix) const
{
    return QStringLiteral("Lista_%1_%2.%3")
        .arg(QString::number(m_host.aktBeavtip()), db::today().toString(QStringLiteral("yyyyMMdd")),
             suffix);
}

void TfrmListakezelo::bbEsemClick(const QString &senderName)
{
    // Owned by this window while shown, and gone once its modal show returns: nothing reads
    // a closed member dialog, and a day of events must not pile them up.
    const bool event = senderName == u"bbEsem";
    // An event needs a member read from the database.
    if (event && (!m_aqListaAdatok.isOpen() || m_aqListaAdatok.eof()))
        return;
    const std::unique_ptr<TfrmAdatok> frmAdatok
        = std::make_unique<TfrmAdatok>(m_host, this, &m_aqListaAdatok);
    if (event)
        frmAdatok->fill(rules::eventFill(lists::shownEntry(m_aqListaAdatok), db::today()));
    else
        frmAdatok->fill(rules::newEntryFill(db::today()));
    ui::execModal(frmAdatok.get());
    rereadMembers();
}

void TfrmListakezelo::btnNyomtatClick()
{
    const lists::MemberListing listing = shownMembers();
    const tables::TextTable table(listing.titles, listing.rows, listing.numberColumns);
    ui::printTable(this, tables::TablePrinter(table, listing.heading), listing.listName);
}

void TfrmListakezelo::btnPdfClick()
{
    const lists::MemberListing listing = shownMembers();
    const tables::TextTable table(listing.titles, listing.rows, listing.numberColumns);
    ui::saveTablePdf(this, tables::TablePrinter(table, listing.heading), listing.heading.title,
                     suggestedFileName(QStringLiteral("pdf")));
}

void TfrmListakezelo::btnCsvClick()
{
    const lists::MemberListing listing = shownMembers();
    const tables::TextTable table(listing.titles, listing.rows, listing.numberColumns);
    ui::saveTableCsv(this, table, listing.heading.filterNote,
                     suggestedFileName(QStringLiteral("csv")));
}

void TfrmListakezelo::btnNaploClick()
{
    if (!m_aqListaAdatok.isOpen() || m_aqListaAdatok.eof())
        return;
    const qint64 hivSzam = m_aqListaAdatok.asInteger(QStringLiteral("HIV_SZAM"));
    const QString member
        = QStringLiteral("Hiv. Szám: %1   TAJ: %2   Név: %3")
              .arg(QString::number(hivSzam), m_aqListaAdatok.asText(QStringLiteral("TAJ")),
                   m_aqListaAdatok.asText(QStringLiteral("NEV")));
    TfrmNaplo naplo(member, lists::readHistory(m_host.acZazadoroz(), hivSzam), this);
    ui::execModal(&naplo);
}
