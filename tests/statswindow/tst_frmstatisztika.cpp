// The statistics window driven as a person would: the list chosen, the figures in the tables,
// the charts' series against the same figures, the CSV file, and what a screen reader hears.
#include "messagerecorder.h"
#include "pdfwords.h"
#include "statsfixture.h"
#include "tempdatabase.h"
#include "typing.h"

#include "db/clock.h"
#include "statswindow/ufrmStatisztika.h"
#include "ui/help.h"
#include "ui/mainstate.h"
#include "ui/messagetexts.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace testsupport;

namespace {

QList<qreal> valuesOf(const QBarSet *set)
{
    QList<qreal> values;
    for (int i = 0; i < set->count(); ++i)
        values << set->at(i);
    return values;
}

// The bar sets of a chart's one stacked bar series, by their names.
QMap<QString, QList<qreal>> barSets(QChartView *view)
{
    QMap<QString, QList<qreal>> sets;
    const QList<QAbstractSeries *> series = view->chart()->series();
    if (series.size() != 1)
        return sets;
    auto *bars = qobject_cast<QStackedBarSeries *>(series.first());
    if (!bars)
        return sets;
    for (const QBarSet *set : bars->barSets())
        sets.insert(set->label(), valuesOf(set));
    return sets;
}

// The save dialog answered with the path.
void answerSaveDialog(ModalDriver &driver, const QString &path)
{
    driver.on(QStringLiteral("dlgMentes"), [path](QDialog *d) {
        auto *dialog = qobject_cast<QFileDialog *>(d);
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

QStringList columnTexts(QTableView *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        texts << grid->model()->index(r, column).data().toString();
    return texts;
}

} // namespace

class TestFrmStatisztika : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opensOnTheCurrentListWithItsFigures();
    void chartsShowTheFiguresOfTheirTables();
    void anotherChoiceShowsItsOwnFigures();
    void tablesSavedAsCsv();
    void chartsAndTablesPrintedAndSavedAsPdf();
    void screenReaderHearsEveryControl();

private:
    std::unique_ptr<TempProgramDir> m_dir;
    QWidget m_mainWidget;
    std::unique_ptr<ui::MainState> m_state;
};

void TestFrmStatisztika::init()
{
    db::setFixedNow(QDateTime(statsToday(), QTime(9, 30)));
    m_dir = std::make_unique<TempProgramDir>(db::schema::Contents::WithSampleLists);
    m_state = std::make_unique<ui::MainState>(&m_mainWidget, m_dir->path());
    m_state->connect();
    fillStatsDepartment(m_state->connection());
    m_state->grantAccess();
    m_state->setAktBeavtip(1);
}

void TestFrmStatisztika::cleanup()
{
    m_state.reset();
    m_dir.reset();
    db::setFixedNow({});
}

void TestFrmStatisztika::opensOnTheCurrentListWithItsFigures()
{
    TfrmStatisztika window(*m_state);
    window.show();
    auto *cbLista = child<QComboBox>(&window, QStringLiteral("cbLista"));
    QCOMPARE(cbLista->currentText(), QStringLiteral("1 – Csípőprotézis beültetése"));
    QCOMPARE(window.focusWidget(), static_cast<QWidget *>(cbLista));
    // Tab: the list, the tabs, the page's table, the buttons, and round again.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList order;
    QWidget *at = QApplication::focusWidget();
    for (int i = 0; at && i < 8; ++i) {
        order << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
    }
    QCOMPARE(order, (QStringList{QStringLiteral("cbLista"), QStringLiteral("qt_tabwidget_tabbar"),
                                 QStringLiteral("grdJelenleg"), QStringLiteral("btnNyomtat"),
                                 QStringLiteral("btnPdf"), QStringLiteral("btnCsv"),
                                 QStringLiteral("btnBezar"), QStringLiteral("cbLista")}));
    // Waiting lists together first, then each; the same for the patient-admission lists.
    QCOMPARE(cbLista->itemText(0), QStringLiteral("Minden várólista"));
    QCOMPARE(cbLista->itemText(6), QStringLiteral("Minden betegfogadási lista"));

    auto *now = child<QTableView>(&window, QStringLiteral("grdJelenleg"));
    QCOMPARE(columnTexts(now, 0),
             (QStringList{QStringLiteral("Azonnali (Akut)"), QStringLiteral("Halasztható"),
                          QStringLiteral("Egyéb"), QStringLiteral("Összesen")}));
    QCOMPARE(columnTexts(now, 2), (QStringList{QStringLiteral("430"), QStringLiteral("252"),
                                               QStringLiteral("44"), QStringLiteral("252")}));
    auto *trend = child<QTableView>(&window, QStringLiteral("grdAlakulas"));
    QCOMPARE(trend->model()->index(22, 0).data().toString(), QStringLiteral("2024. február"));
    QCOMPARE(trend->model()->index(22, 1).data().toString(), QStringLiteral("2024. 02. 29."));
    QCOMPARE(trend->model()->index(23, 2).data().toString(), QStringLiteral("7"));
    QCOMPARE(child<QLabel>(&window, QStringLiteral("lblNap"))->text(),
             QStringLiteral("A számítás napja: 2024. 03. 15."));
}

void TestFrmStatisztika::chartsShowTheFiguresOfTheirTables()
{
    TfrmStatisztika window(*m_state);
    const QMap<QString, QList<qreal>> distribution
        = barSets(child<QChartView>(&window, QStringLiteral("chMegoszlas")));
    QCOMPARE(distribution.value(QStringLiteral("Azonnali (Akut)")),
             (QList<qreal>{0, 0, 0, 0, 0, 1, 0}));
    QCOMPARE(distribution.value(QStringLiteral("Halasztható")),
             (QList<qreal>{2, 0, 0, 0, 2, 1, 0}));
    QCOMPARE(distribution.value(QStringLiteral("Egyéb")), (QList<qreal>{0, 1, 0, 0, 0, 0, 0}));

    auto *trend = child<QChartView>(&window, QStringLiteral("chAlakulas"));
    QCOMPARE(trend->chart()->series().size(), 1);
    auto *line = qobject_cast<QLineSeries *>(trend->chart()->series().first());
    QVERIFY(line);
    QList<qreal> members;
    for (const QPointF &point : line->points())
        members << point.y();
    QCOMPARE(members, (QList<qreal>{0, 0, 1, 1, 1, 0, 0, 1, 1, 3, 3, 4,
                                    5, 6, 6, 6, 7, 6, 6, 6, 5, 6, 7, 7}));
    // The months along the axis, Hungarian and short, the leap year's February among them.
    auto *months = qobject_cast<QBarCategoryAxis *>(trend->chart()->axes(Qt::Horizontal).value(0));
    QVERIFY(months);
    QCOMPARE(months->categories().size(), 24);
    QCOMPARE(months->categories().first(), QStringLiteral("2022. ápr."));
    QCOMPARE(months->categories().at(22), QStringLiteral("2024. febr."));
    QCOMPARE(months->categories().last(), QStringLiteral("2024. márc."));

    const QMap<QString, QList<qreal>> flow
        = barSets(child<QChartView>(&window, QStringLiteral("chMozgas")));
    const QList<qreal> operated = flow.value(QStringLiteral("Lekerült: Beavatkozás megtörtént"));
    QCOMPARE(operated.size(), 24);
    // September 2022 (E16), July (E6), September (E4), December 2023 (E15), March 2024 (E11).
    QList<qreal> expected(24, 0);
    for (const int month : {5, 15, 17, 20, 23})
        expected[month] = -1;
    QCOMPARE(operated, expected);
    QCOMPARE(flow.value(QStringLiteral("Visszakerült")).at(18), 1); // October 2023: E7
    // The table beside the chart holds the same numbers.
    auto *grid = child<QTableView>(&window, QStringLiteral("grdMozgas"));
    QCOMPARE(grid->model()->index(18, 2).data().toString(), QStringLiteral("1"));
}

void TestFrmStatisztika::anotherChoiceShowsItsOwnFigures()
{
    TfrmStatisztika window(*m_state);
    window.show();
    auto *cbLista = child<QComboBox>(&window, QStringLiteral("cbLista"));
    auto *now = child<QTableView>(&window, QStringLiteral("grdJelenleg"));
    cbLista->setFocus();
    QTest::keyClick(cbLista, Qt::Key_Home);
    QCOMPARE(cbLista->currentText(), QStringLiteral("Minden várólista"));
    QCOMPARE(columnTexts(now, 1).last(), QStringLiteral("8"));

    cbLista->setCurrentIndex(cbLista->findText(QStringLiteral("3 – Szürkehályog-műtét")));
    QCOMPARE(columnTexts(now, 0),
             (QStringList{QStringLiteral("Azonnali (Akut)"), QStringLiteral("Halasztható"),
                          QStringLiteral("Összesen")}));
    QCOMPARE(columnTexts(now, 2), (QStringList(3, QStringLiteral("–"))));
    auto *line = qobject_cast<QLineSeries *>(
        child<QChartView>(&window, QStringLiteral("chAlakulas"))->chart()->series().first());
    for (const QPointF &point : line->points())
        QCOMPARE(point.y(), 0);
}

void TestFrmStatisztika::tablesSavedAsCsv()
{
    TfrmStatisztika window(*m_state);
    window.show();
    const QString path = m_dir->path() + QStringLiteral("statisztika.csv");
    ModalDriver driver;
    answerSaveDialog(driver, path);
    MessageRecorder messages;
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("btnCsv")), Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{ui::message::fileReady.toString() + path});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    QVERIFY2(text.startsWith(QStringLiteral("1 – Csípőprotézis beültetése – 2024. 03. 15.\r\n")),
             qPrintable(text.left(80)));
    QVERIFY(text.contains(QStringLiteral("\r\nHalasztható;5;252;496;496;3;3;1;0\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\n2024. február;2024. 02. 29.;7\r\n")));
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestFrmStatisztika::chartsAndTablesPrintedAndSavedAsPdf()
{
    TfrmStatisztika window(*m_state);
    window.show();
    ModalDriver driver;
    int previewPages = 0;
    driver.on(QStringLiteral("frmNyomtatasiKep"), [&previewPages](QDialog *d) {
        auto *preview = d->findChild<QPrintPreviewWidget *>();
        QVERIFY(preview);
        preview->updatePreview();
        previewPages = preview->pageCount();
        d->reject();
    });
    const QString path = m_dir->path() + QStringLiteral("statisztika.pdf");
    answerSaveDialog(driver, path);
    MessageRecorder messages;
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("btnNyomtat")), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("btnPdf")), Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{ui::message::fileReady.toString() + path});

    QString error;
    const QList<PdfPage> pages = readPdfWords(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The Now table, then each chart on a page of its own followed by its table.
    QCOMPARE(pages.size(), 7);
    QCOMPARE(previewPages, 7);
    const QString heading = QStringLiteral("1 – Csípőprotézis beültetése – 2024. 03. 15.");
    for (const PdfPage &page : pages) {
        QVERIFY(page.size.width() > page.size.height());
        QVERIFY(page.hasWholeText(heading));
        // Nothing within 10 mm of the paper's edge.
        QCOMPARE(page.wordsWithin(28.3), QStringList());
    }
    QVERIFY(pages.at(0).hasWholeText(QStringLiteral("Halasztható 5 252 496 496 3 3 1 0")));
    QVERIFY(pages.at(3).hasWholeText(QStringLiteral("Listatagok a hónap végén")));
    QVERIFY(pages.at(4).hasWholeText(QStringLiteral("2024. február 2024. 02. 29. 7")));
    QVERIFY(pages.at(5).hasWholeText(QStringLiteral("Mozgás havonta")));
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestFrmStatisztika::screenReaderHearsEveryControl()
{
    TfrmStatisztika window(*m_state);
    window.show();
    auto *cbLista = child<QComboBox>(&window, QStringLiteral("cbLista"));
    QAccessibleInterface *combo = QAccessible::queryAccessibleInterface(cbLista);
    QCOMPARE(combo->role(), QAccessible::ComboBox);
    QCOMPARE(combo->text(QAccessible::Name), cbLista->currentText());
    QCOMPARE(combo->text(QAccessible::Value), cbLista->currentText());
    const auto labels = combo->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(),
             static_cast<QObject *>(child<QLabel>(&window, QStringLiteral("lblLista"))));

    auto *grid = child<QTableView>(&window, QStringLiteral("grdAlakulas"));
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(grid);
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Listatagok a hónap végén"));
    QAccessibleTableInterface *cells = table->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->rowCount(), 24);
    QCOMPARE(cells->cellAt(22, 2)->text(QAccessible::Name), QStringLiteral("7"));
    QCOMPARE(cells->columnDescription(2), QStringLiteral("Listatagok"));

    auto *chart = child<QChartView>(&window, QStringLiteral("chAlakulas"));
    QCOMPARE(QAccessible::queryAccessibleInterface(chart)->text(QAccessible::Name),
             QStringLiteral("Listatagok a hónap végén (diagram)"));

    QList<int> opened;
    ui::setHelpHandler([&opened](int context) { opened << context; });
    ui::installHelp(*qApp, m_dir->path());
    QTest::keyClick(cbLista, Qt::Key_F1);
    QTest::keyClick(grid, Qt::Key_F1);
    ui::setHelpHandler({});
    QCOMPARE(opened, (QList<int>{TfrmStatisztika::helpContext, TfrmStatisztika::helpContext}));
}

QTEST_MAIN(TestFrmStatisztika)
#include "tst_frmstatisztika.moc"
