// The list manager's search, sorting and count line, through the real window: what is shown,
// in what order, which row is current, and that the member dialog still sees every member.
#include "department.h"
#include "dialogsteps.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "rules/messages.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

QTableView *grid(QWidget *w)
{
    return child<QTableView>(w, u"dbgLista"_s);
}

QLineEdit *searchBox(QWidget *w)
{
    return child<QLineEdit>(w, u"eKereses"_s);
}

void clickTitle(QWidget *w, const QString &title)
{
    QHeaderView *header = grid(w)->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        if (header->model()->headerData(c, Qt::Horizontal).toString() == title) {
            const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            return;
        }
    }
    QFAIL(qPrintable(u"no column "_s + title));
}

// The TAJ of the grid's current row, and of the member query's current row: the two agree.
QString currentTaj(TfrmListakezelo *w)
{
    const QModelIndex current = grid(w)->currentIndex();
    const QString shown
        = current.isValid() ? gridColumn(grid(w), u"TAJ"_s).value(current.row()) : u"<none>"_s;
    const QString dataset = w->aqListaAdatok().asText(u"TAJ"_s);
    return shown == dataset ? shown : shown + u" / "_s + dataset;
}

// Five members of list 1; the names sort differently in Hungarian than by code points.
void addMembers(Department &dep)
{
    dep.entry(1, u"123456788"_s, QDate(2026, 1, 1), u"VAR"_s, u"Kovács Éva"_s);
    dep.entry(1, u"012345678"_s, QDate(2026, 2, 1), u"HAL"_s, u"Ábel Ödön"_s);
    dep.entry(1, u"987654321"_s, QDate(2025, 12, 31), u"VAR"_s, u"Szűcs Őrs"_s);
    dep.entry(1, u"555000111"_s, QDate(2026, 3, 9), u"VAR"_s, u"Bodor Kovacs Ágnes"_s);
    dep.entry(1, u"444000111"_s, QDate(2026, 3, 9), u"VAR"_s, u"Ozsvát Anna"_s);
    dep.entry(2, u"333000111"_s, QDate(2026, 3, 9), u"VAR"_s, u"Kovács Béla"_s);
    dep.state.setAktBeavtip(1);
}
} // namespace

class TestListakereses : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup()
    {
        db::setFixedNow({});
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void searchNarrowsTheGrid_data();
    void searchNarrowsTheGrid();
    void titlesSortAndRereadRestoresOwnOrder();
    void duplicateTajHiddenBySearchIsShown();
    void searchAfterRereadFindsTheNewNames();
    void helpersFollowTheWindowsOwnControls();
};

void TestListakereses::searchNarrowsTheGrid_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("count");
    QTest::newRow("nothing typed") << ""
                                   << QStringList{u"987654321"_s, u"123456788"_s, u"012345678"_s,
                                                  u"555000111"_s, u"444000111"_s}
                                   << u"Lista: Csípőprotézis beültetése   Látható: 5 / 5 tag   "
                                      u"Leghosszabb várakozás: 69 nap"_s;
    QTest::newRow("unaccented name")
        << "kovacs" << QStringList{u"123456788"_s, u"555000111"_s}
        << u"Lista: Csípőprotézis beültetése   Látható: 2 / 5 tag, keresés "
           u"szerint szűrve: „kovacs”   Leghosszabb várakozás: 68 nap"_s;
    QTest::newRow("accented name")
        << "ŐRS" << QStringList{u"987654321"_s}
        << u"Lista: Csípőprotézis beültetése   Látható: 1 / 5 tag, keresés "
           u"szerint szűrve: „ŐRS”   Leghosszabb várakozás: 69 nap"_s;
    QTest::newRow("part of a TAJ with its dash")
        << "000-1" << QStringList{u"555000111"_s, u"444000111"_s}
        << u"Lista: Csípőprotézis beültetése   Látható: 2 / 5 tag, keresés szerint szűrve: "
           u"„000-1”   Leghosszabb várakozás: 1 nap"_s;
    QTest::newRow("nobody") << "Nagy" << QStringList{}
                            << u"Lista: Csípőprotézis beültetése   Látható: 0 / 5 tag, keresés "
                               u"szerint szűrve: „Nagy”   Leghosszabb várakozás: –"_s;
}

void TestListakereses::searchNarrowsTheGrid()
{
    QFETCH(QString, query);
    QFETCH(QStringList, shown);
    QFETCH(QString, count);
    Department dep;
    addMembers(dep);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    window.show();
    // The current row is somewhere else first: the search must not leave it out of sight.
    QTest::keyClick(grid(&window), Qt::Key_End, Qt::ControlModifier);
    typeText(searchBox(&window), query);
    QCOMPARE(gridColumn(grid(&window), u"TAJ"_s), shown);
    QCOMPARE(child<QLabel>(&window, u"lblAllapot"_s)->text(), count);
    QCOMPARE(child<QPushButton>(&window, u"bbEsem"_s)->isEnabled(), !shown.isEmpty());
    // Nobody found: "Nincs találat" stands where the grid was. A search that narrows marks its
    // box, for a screen reader too.
    QLabel *nothing = child<QLabel>(&window, u"lblNincsTalalat"_s);
    QCOMPARE(nothing->isVisible(), shown.isEmpty());
    QCOMPARE(grid(&window)->isVisible(), !shown.isEmpty());
    QCOMPARE(nothing->text(), u"Nincs találat"_s);
    const QString marked = searchBox(&window)->accessibleDescription();
    QCOMPARE(marked.contains(u"szűri a listát"_s), !query.isEmpty());
    QCOMPARE(searchBox(&window)->styleSheet().isEmpty(), query.isEmpty());
    if (!shown.isEmpty()) {
        // The current row stays where it is while it is shown, else goes to the first shown.
        const QString last = u"444000111"_s;
        QCOMPARE(currentTaj(&window), shown.contains(last) ? last : shown.first());
    }
    // The clear button shows everyone again; the member query held them all the while.
    QTest::mouseClick(child<QPushButton>(&window, u"btnKeresTorol"_s), Qt::LeftButton);
    QCOMPARE(searchBox(&window)->text(), QString());
    QCOMPARE(grid(&window)->model()->rowCount(), 5);
    QCOMPARE(window.aqListaAdatok().recordCount(), 5);
    QVERIFY(grid(&window)->isVisible());
    QVERIFY(!nothing->isVisible());
    QCOMPARE(searchBox(&window)->accessibleDescription(), QString());
    QVERIFY(!child<QLabel>(&window, u"lblAllapot"_s)->text().contains(u"szűrve"_s));
}

void TestListakereses::titlesSortAndRereadRestoresOwnOrder()
{
    Department dep;
    addMembers(dep);
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(u"frmAdatok"_s, [](QDialog *d) {
        QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
    });
    QList<QStringList> names;
    QStringList dates;
    int indicatorAfterReread = 0;
    QString currentAfterReread;
    QStringList searchedAfterReread;
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        auto *w = static_cast<TfrmListakezelo *>(d);
        clickTitle(d, u"Név"_s);
        names << gridColumn(grid(d), u"Név"_s);
        clickTitle(d, u"Név"_s);
        names << gridColumn(grid(d), u"Név"_s);
        // Dates as dates, the newest first; members of one day keep the list's order.
        clickTitle(d, u"Listárakerülés"_s);
        clickTitle(d, u"Listárakerülés"_s);
        dates = gridColumn(grid(d), u"TAJ"_s);
        typeText(searchBox(d), u"kovacs"_s);
        QTest::mouseClick(child<QPushButton>(d, u"bbUjTag"_s), Qt::LeftButton);
        // Read again: the list's own order, the search still applied, its first row current.
        indicatorAfterReread = grid(d)->horizontalHeader()->sortIndicatorSection();
        searchedAfterReread = gridColumn(grid(d), u"TAJ"_s);
        currentAfterReread = currentTaj(w);
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(names.value(0), (QStringList{u"Ábel Ödön"_s, u"Bodor Kovacs Ágnes"_s, u"Kovács Éva"_s,
                                          u"Ozsvát Anna"_s, u"Szűcs Őrs"_s}));
    QCOMPARE(names.value(1), (QStringList{u"Szűcs Őrs"_s, u"Ozsvát Anna"_s, u"Kovács Éva"_s,
                                          u"Bodor Kovacs Ágnes"_s, u"Ábel Ödön"_s}));
    QCOMPARE(dates, (QStringList{u"555000111"_s, u"444000111"_s, u"012345678"_s, u"123456788"_s,
                                 u"987654321"_s}));
    QCOMPARE(indicatorAfterReread, -1);
    QCOMPARE(searchedAfterReread, (QStringList{u"123456788"_s, u"555000111"_s}));
    QCOMPARE(currentAfterReread, u"123456788"_s);
    QVERIFY(messages.texts().isEmpty());
}

void TestListakereses::duplicateTajHiddenBySearchIsShown()
{
    Department dep;
    addMembers(dep);
    MessageRecorder messages;
    ModalDriver driver;
    TfrmListakezelo *manager = nullptr;
    QString searchWhenFound;
    QString currentWhenFound;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        typeNewMember(d, u"987654321"_s, u"Szűcs Őrs"_s);
        QTest::mouseClick(child<QPushButton>(d, u"btnOK"_s), Qt::LeftButton);
        searchWhenFound = searchBox(manager)->text();
        currentWhenFound = currentTaj(manager);
        QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
    });
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        manager = static_cast<TfrmListakezelo *>(d);
        typeText(searchBox(d), u"kovacs"_s);
        QTest::mouseClick(child<QPushButton>(d, u"bbUjTag"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(messages.texts(), QStringList{rules::message::tajOnList.toString()});
    QCOMPARE(searchWhenFound, QString());
    QCOMPARE(currentWhenFound, u"987654321"_s);
    QCOMPARE(rows(dep.state.connection(), u"SELECT count(*) FROM LISTA"_s),
             (QList<QVariantList>{{qint64(6)}}));
}

void TestListakereses::searchAfterRereadFindsTheNewNames()
{
    Department dep;
    addMembers(dep);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    window.show();
    // The keys are folded once the window is idle, before the first letter.
    QCoreApplication::processEvents();
    typeText(searchBox(&window), u"kovacs"_s);
    QCOMPARE(gridColumn(grid(&window), u"TAJ"_s), (QStringList{u"123456788"_s, u"555000111"_s}));
    searchBox(&window)->clear();
    // Another workstation renames two members; as many members as before are read again.
    dep.state.connection().execute(
        u"UPDATE LISTA SET NEV = 'Kovács Ödön' WHERE TAJ = '012345678'"_s);
    dep.state.connection().execute(
        u"UPDATE LISTA SET NEV = 'Bodor Ágnes' WHERE TAJ = '555000111'"_s);
    window.readMembers();
    QCoreApplication::processEvents();
    typeText(searchBox(&window), u"kovacs"_s);
    QCOMPARE(gridColumn(grid(&window), u"TAJ"_s), (QStringList{u"123456788"_s, u"012345678"_s}));
    // Read again while the search narrows the list: the new names are searched at once.
    dep.state.connection().execute(u"UPDATE LISTA SET NEV = 'Kovacs Anna' WHERE TAJ = "
                                   u"'444000111'"_s);
    window.readMembers();
    QCOMPARE(gridColumn(grid(&window), u"TAJ"_s),
             (QStringList{u"123456788"_s, u"012345678"_s, u"444000111"_s}));
    QCOMPARE(child<QLabel>(&window, u"lblAllapot"_s)->text(),
             u"Lista: Csípőprotézis beültetése   Látható: 3 / 5 tag, keresés szerint szűrve: "
             u"„kovacs”   Leghosszabb várakozás: 68 nap"_s);
}

void TestListakereses::helpersFollowTheWindowsOwnControls()
{
    Department dep;
    addMembers(dep);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    QStringList chain;
    for (QWidget *w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w->objectName();
    }
    QCOMPARE(chain, (QStringList{u"bbOK"_s, u"bbUjTag"_s, u"bbEsem"_s, u"dbgLista"_s, u"eKereses"_s,
                                 u"btnKeresTorol"_s, u"btnNyomtat"_s, u"btnPdf"_s, u"btnCsv"_s,
                                 u"btnNaplo"_s}));
}

QTEST_MAIN(TestListakereses)
#include "tst_listakereses.moc"
