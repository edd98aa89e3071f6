#include "ufrmStatisztika.h"

#include "statcharts.h"
#include "statsprinter.h"

#include "db/clock.h"
#include "files/safesave.h"
#include "stats/figuretables.h"
#include "stats/tableexport.h"
#include "tables/texttable.h"
#include "ui/controls.h"
#include "ui/filedialog.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/mainhost.h"
#include "ui/messages.h"
#include "ui/tableoutput.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView *figureGrid(const char *name, QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->setWordWrap(false);
    return grid;
}

QChartView *chartView(const char *name, QWidget *parent)
{
    auto *view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    // The chart draws what the table beside it says; a screen reader reads the table.
    view->setFocusPolicy(Qt::NoFocus);
    return view;
}

// A page of the tabs: the chart above, its figures below. Made in tab order, so that Tab
// goes from the tabs to the page's table and on to the buttons.
QWidget *chartPage(QTabWidget *tabs, const QString &caption, const char *chartName,
                   const char *gridName, QChartView *&chart, QTableView *&grid)
{
    auto *page = new QWidget(tabs);
    auto *layout = new QVBoxLayout(page);
    chart = chartView(chartName, page);
    grid = figureGrid(gridName, page);
    layout->addWidget(chart, 3);
    layout->addWidget(grid, 2);
    tabs->addTab(page, caption);
    return page;
}

// A grid's figures replaced, with the model and the selection of the earlier ones gone.
void showTable(QTableView *grid, const stats::FigureTable &table)
{
    QAbstractItemModel *oldModel = grid->model();
    QItemSelectionModel *oldSelection = grid->selectionModel();
    tables::TextTable *model = stats::textModel(table).release();
    model->setParent(grid);
    grid->setModel(model);
    delete oldSelection;
    delete oldModel;
}

void replaceChart(QChartView *view, QChart *chart)
{
    QChart *old = view->chart();
    view->setChart(chart);
    // The view does not delete the chart it shows no longer.
    delete old;
    view->setAccessibleName(chart->title() + QStringLiteral(" (diagram)"));
    view->setAccessibleDescription(QStringLiteral("A diagram számai az alatta lévő táblázatban."));
}

} // namespace

TfrmStatisztika::TfrmStatisztika(ui::MainHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmStatisztika"));
    setWindowTitle(QStringLiteral("Statisztika"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    lblLista = ui::label(QStringLiteral("lblLista"), QStringLiteral("&Lista:"), this);
    cbLista = new QComboBox(this);
    cbLista->setObjectName(QStringLiteral("cbLista"));
    cbLista->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Named by the item it shows, as Qt does; its label comes from the buddy relation.
    lblLista->setBuddy(cbLista);
    lblNap = ui::label(QStringLiteral("lblNap"), QString(), this);

    buildTabs();
    buildButtons();

    auto *top = new QHBoxLayout;
    top->addWidget(lblLista);
    top->addWidget(cbLista, 1);
    top->addStretch();
    top->addWidget(lblNap);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnNyomtat);
    buttons->addWidget(btnPdf);
    buttons->addWidget(btnCsv);
    buttons->addStretch();
    buttons->addWidget(btnBezar);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabStatisztika, 1);
    layout->addLayout(buttons);

    fillChoices();
    showFigures();
    connect(cbLista, &QComboBox::currentIndexChanged, this, [this] { cbListaChange(); });

    ui::centreOnScreen(
        this, QSize(std::max(sizeHint().width(), 900),
                    std::max(sizeHint().height(), ui::desktopArea(this).height() * 17 / 20)));
}

// The current figures first, then each chart on a tab of its own beside its table.
void TfrmStatisztika::buildTabs()
{
    tabStatisztika = new QTabWidget(this);
    tabStatisztika->setObjectName(QStringLiteral("tabStatisztika"));
    // Four short tabs always fit: no scroll buttons, which Qt names in English.
    tabStatisztika->setUsesScrollButtons(false);
    auto *now = new QWidget(tabStatisztika);
    auto *nowLayout = new QVBoxLayout(now);
    grdJelenleg = figureGrid("grdJelenleg", now);
    lblMegjegyzes = ui::label(QStringLiteral("lblMegjegyzes"), QString(), now);
    lblMegjegyzes->setWordWrap(true);
    nowLayout->addWidget(grdJelenleg, 1);
    nowLayout->addWidget(lblMegjegyzes);
    tabStatisztika->addTab(now, QStringLiteral("&Jelenleg"));
    chartPage(tabStatisztika, QStringLiteral("&Megoszlás"), "chMegoszlas", "grdMegoszlas",
              chMegoszlas, grdMegoszlas);
    chartPage(tabStatisztika, QStringLiteral("&Alakulás"), "chAlakulas", "grdAlakulas", chAlakulas,
              grdAlakulas);
    chartPage(tabStatisztika, QStringLiteral("M&ozgás"), "chMozgas", "grdMozgas", chMozgas,
              grdMozgas);
}

void TfrmStatisztika::buildButtons()
{
    btnNyomtat = ui::button(QStringLiteral("btnNyomtat"), QStringLiteral("&Nyomtatás..."),
                            QString(), this);
    btnNyomtat->setAccessibleName(QStringLiteral("A grafikonok és a táblázatok nyomtatása"));
    btnPdf = ui::button(QStringLiteral("btnPdf"), QStringLiteral("Mentés &PDF-be..."), QString(),
                        this);
    btnPdf->setAccessibleName(QStringLiteral("A grafikonok és a táblázatok mentése PDF fájlba"));
    btnCsv = ui::button(QStringLiteral("btnCsv"), QStringLiteral("Mentés &CSV-be..."), QString(),
                        this);
    btnCsv->setAccessibleName(QStringLiteral("A táblázatok mentése táblázatkezelőnek"));
    btnBezar = ui::button(QStringLiteral("btnBezar"), QStringLiteral("&Bezárás"),
                          QStringLiteral("kilep"), this);
    addButton(btnNyomtat, ui::mrNone, [this] { btnNyomtatClick(); });
    addButton(btnPdf, ui::mrNone, [this] { btnPdfClick(); });
    addButton(btnCsv, ui::mrNone, [this] { btnCsvClick(); });
    addButton(btnBezar, ui::mrCancel);
    setCancelButton(btnBezar);
}

// Every list and every kind's lists together; the current list chosen where there is one.
void TfrmStatisztika::fillChoices()
{
    m_choices = stats::scopeChoices(m_host.acZazadoroz());
    int current = 0;
    for (int i = 0; i < m_choices.size(); ++i) {
        const stats::Scope &choice = m_choices.at(i);
        cbLista->addItem(choice.label);
        if (choice.extent == stats::Scope::Extent::OneList && choice.list == m_host.aktBeavtip())
            current = i;
    }
    cbLista->setCurrentIndex(m_choices.isEmpty() ? -1 : current);
}

void TfrmStatisztika::cbListaChange()
{
    ui::guarded(this, [this] { showFigures(); });
}

void TfrmStatisztika::showFigures()
{
    const int index = cbLista->currentIndex();
    if (index < 0 || index >= m_choices.size()) {
        lblNap->setText(QStringLiteral("Nincs egyetlen lista sem."));
        for (QPushButton *button : {btnNyomtat, btnPdf, btnCsv})
            button->setEnabled(false);
        return;
    }
    m_figures = stats::computeFigures(m_host.acZazadoroz(), m_choices.at(index), db::today());
    lblNap->setText(QStringLiteral("A számítás napja: %1").arg(stats::dayLabel(m_figures.today)));
    lblNap->setAccessibleName(lblNap->text());
    const QList<stats::FigureTable> tables = stats::allTables(m_figures);
    QTableView *grids[] = {grdJelenleg, grdMegoszlas, grdAlakulas, grdMozgas};
    for (int i = 0; i < int(tables.size()); ++i) {
        showTable(grids[i], tables.at(i));
        grids[i]->setAccessibleName(tables.at(i).title);
        grids[i]->resizeColumnsToContents();
    }
    replaceChart(chMegoszlas, statcharts::distributionChart(m_figures));
    replaceChart(chAlakulas, statcharts::trendChart(m_figures));
    replaceChart(chMozgas, statcharts::flowChart(m_figures));
    const qint64 undated = m_figures.waiting.all.undated;
    lblMegjegyzes->setText(
        undated == 0 ? QString()
                     : QStringLiteral("%1 listatag listára kerülési napja hiányzik vagy későbbi a "
                                      "mai napnál: ők a létszámban szerepelnek, a várakozási "
                                      "időkben nem.")
                           .arg(stats::numberText(undated)));
    for (QPushButton *button : {btnNyomtat, btnPdf, btnCsv})
        button->setEnabled(true);
}

QString TfrmStatisztika::suggestedFileName(const QString &suffix) const
{
    const stats::Scope &scope = m_figures.scope;
    const QString which = scope.extent == stats::Scope::Extent::OneList
                              ? QString::number(scope.list)
                              : QStringLiteral("minden_%1").arg(scope.kind);
    return QStringLiteral("Statisztika_%1_%2.%3")
        .arg(which, m_figures.today.toString(QStringLiteral("yyyyMMdd")), suffix);
}

void TfrmStatisztika::btnNyomtatClick()
{
    ui::printTable(this, StatsPrinter(m_figures), stats::heading(m_figures));
}

void TfrmStatisztika::btnPdfClick()
{
    ui::saveTablePdf(this, StatsPrinter(m_figures), stats::heading(m_figures),
                     suggestedFileName(QStringLiteral("pdf")));
}

void TfrmStatisztika::btnCsvClick()
{
    const QString path = ui::askSaveFileName(
        this, QStringLiteral("Mentés CSV fájlba"), QStringLiteral("CSV fájl (*.csv)"),
        QStringLiteral("csv"), suggestedFileName(QStringLiteral("csv")));
    if (path.isEmpty())
        return;
    files::saveWhole(path, stats::csvDocument({m_figures}));
    ui::tellSaved(this, path);
}
