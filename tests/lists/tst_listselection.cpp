// Choosing a list with the two list buttons: which summary the chooser shows, what OK and
// Cancel leave behind, and the shortcut straight to list 0.
#include "department.h"
#include "messagerecorder.h"
#include "typing.h"

#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "ui/dialog.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QString chooserName = QStringLiteral("frmListaValaszto");
const QString managerName = QStringLiteral("frmListakezelo");
const QString nameTitle = QStringLiteral("Várólista Beavatkozástípusa");

// Notes the list the list manager opened on, then closes it.
void recordManager(ModalDriver &driver, ui::MainState &state, int &openedList)
{
    driver.on(managerName, [&state, &openedList](QDialog *d) {
        QCOMPARE(state.aktListakezelo(), d);
        openedList = state.aktBeavtip();
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("bbOK")), Qt::LeftButton);
    });
}
} // namespace

class TestListSelection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QCOMPARE(ui::takeForcedCloses(), 0); }
    void buttonChoosesSummary_data();
    void buttonChoosesSummary();
    void okTakesSelectedRow_data();
    void okTakesSelectedRow();
    void cancelKeepsCurrentList_data();
    void cancelKeepsCurrentList();
    void listZeroSkipsChooser_data();
    void listZeroSkipsChooser();
    void emptySummaryReportsNoList();
};

void TestListSelection::buttonChoosesSummary_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QStringList>("names");
    const QStringList waiting{
        QStringLiteral("Csípőprotézis beültetése"), QStringLiteral("Térdprotézis beültetése"),
        QStringLiteral("Szürkehályog-műtét"), QStringLiteral("Epehólyag-eltávolítás"),
        QStringLiteral("Lágyéksérv-műtét")};
    const QStringList admission{QStringLiteral("Belgyógyászati felvétel"),
                                QStringLiteral("Sebészeti felvétel"),
                                QStringLiteral("Nőgyógyászati felvétel")};
    QTest::newRow("waiting lists") << "bbZazadoroz" << waiting;
    QTest::newRow("admission lists") << "bbBetForglista" << admission;
    QTest::newRow("name compared with letter case") << "bbzazadoroz" << admission;
}

void TestListSelection::buttonChoosesSummary()
{
    QFETCH(QString, sender);
    QFETCH(QStringList, names);
    Department dep;
    dep.entry(2, QStringLiteral("123456788"));
    dep.entry(2, QStringLiteral("012345678"));
    dep.entry(2, QStringLiteral("111111110"), QDate(2026, 3, 7), QStringLiteral("BEA"));
    dep.entry(12, QStringLiteral("222222220"));
    // The chooser shows what dsListaDb is bound to, whatever a TAJ search left there.
    dep.state.dsListaDb().setDataset(&dep.state.aqAlt());
    MessageRecorder messages;
    ModalDriver driver;
    QStringList shownNames;
    QStringList counts;
    driver.on(chooserName, [&](QDialog *d) {
        QCOMPARE(dep.state.aktValaszto(), d);
        const auto *grid = child<QAbstractItemView>(d, QStringLiteral("DBGrid1"));
        QCOMPARE(d->focusWidget(), grid);
        shownNames = gridColumn(grid, nameTitle);
        counts = gridColumn(grid, QStringLiteral("Listatagok"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    lists::bbZazadorozClick(dep.state, sender);
    QCOMPARE(dep.state.dsListaDb().dataset(), &dep.state.atListaDb());
    QCOMPARE(shownNames, names);
    if (names.size() == 5)
        QCOMPARE(counts.join(u','), QStringLiteral("0,2,0,0,0"));
    else
        QCOMPARE(counts.join(u','), QStringLiteral("0,1,0"));
    QCOMPARE(driver.shown(), QStringList{chooserName});
    QVERIFY(messages.texts().isEmpty());
}

void TestListSelection::okTakesSelectedRow_data()
{
    QTest::addColumn<int>("downPresses");
    QTest::addColumn<int>("chosen");
    QTest::newRow("untouched: the first row") << 0 << 1;
    QTest::newRow("third row") << 2 << 3;
}

void TestListSelection::okTakesSelectedRow()
{
    QFETCH(int, downPresses);
    QFETCH(int, chosen);
    Department dep;
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(chooserName, [&](QDialog *d) {
        auto *grid = child<QAbstractItemView>(d, QStringLiteral("DBGrid1"));
        for (int i = 0; i < downPresses; ++i)
            QTest::keyClick(grid, Qt::Key_Down);
        // Enter on the grid presses OK.
        QTest::keyClick(grid, Qt::Key_Return);
    });
    int openedList = -2;
    recordManager(driver, dep.state, openedList);
    lists::bbZazadorozClick(dep.state, QStringLiteral("bbZazadoroz"));
    QCOMPARE(driver.shown(), (QStringList{chooserName, managerName}));
    QCOMPARE(openedList, chosen);
    QCOMPARE(dep.state.aktBeavtip(), chosen);
    QVERIFY(!dep.state.atListaDb().isOpen());
    // Both windows are gone, and so are the run state's references to them.
    QVERIFY(!dep.state.aktValaszto());
    QVERIFY(!dep.state.aktListakezelo());
    QVERIFY(dep.mainWidget.findChildren<QDialog *>().isEmpty());
    QVERIFY(messages.texts().isEmpty());
}

void TestListSelection::cancelKeepsCurrentList_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Mégsem") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void TestListSelection::cancelKeepsCurrentList()
{
    QFETCH(QString, how);
    Department dep;
    dep.state.setAktBeavtip(4);
    // A list chosen earlier (4 here) is not 0, so the chooser comes every time.
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(chooserName, [&](QDialog *d) {
        QTest::keyClick(child<QAbstractItemView>(d, QStringLiteral("DBGrid1")), Qt::Key_Down);
        if (how == u"button")
            QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnCancel")), Qt::LeftButton);
        else if (how == u"escape")
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->close();
    });
    lists::bbZazadorozClick(dep.state, QStringLiteral("bbBetForglista"));
    QCOMPARE(driver.shown(), QStringList{chooserName});
    QCOMPARE(dep.state.aktBeavtip(), 4);
    QVERIFY(dep.state.atListaDb().isOpen());
    QCOMPARE(dep.state.atListaDb().tableName(), QStringLiteral("QBETFORGLISTADB"));
    QVERIFY(!dep.state.aktValaszto());
    QVERIFY(dep.mainWidget.findChildren<QDialog *>().isEmpty());
    QVERIFY(messages.texts().isEmpty());
}

void TestListSelection::listZeroSkipsChooser_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("sender");
    QTest::newRow("outpatient department") << "J"
                                           << "bbZazadoroz";
    QTest::newRow("inpatient department on list 0, waiting button") << "F"
                                                                    << "bbZazadoroz";
    QTest::newRow("inpatient department on list 0, admission button") << "F"
                                                                      << "bbBetForglista";
}

void TestListSelection::listZeroSkipsChooser()
{
    QFETCH(QString, type);
    QFETCH(QString, sender);
    Department dep(type);
    dep.state.setAktBeavtip(0);
    dep.entry(0, QStringLiteral("123456788"));
    dep.entry(1, QStringLiteral("012345678"));
    dep.state.dsListaDb().setDataset(&dep.state.aqAlt());
    MessageRecorder messages;
    ModalDriver driver;
    QStringList members;
    driver.on(managerName, [&](QDialog *d) {
        members = gridColumn(child<QAbstractItemView>(d, QStringLiteral("dbgLista")),
                             QStringLiteral("TAJ"));
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("bbOK")), Qt::LeftButton);
    });
    lists::bbZazadorozClick(dep.state, sender);
    QCOMPARE(driver.shown(), QStringList{managerName});
    QCOMPARE(members, QStringList{QStringLiteral("123456788")});
    // The data source is re-bound even when no summary is needed; the summary stays unopened.
    QCOMPARE(dep.state.dsListaDb().dataset(), &dep.state.atListaDb());
    QVERIFY(!dep.state.atListaDb().isOpen());
    QCOMPARE(dep.state.aktBeavtip(), 0);
    QVERIFY(messages.texts().isEmpty());
}

void TestListSelection::emptySummaryReportsNoList()
{
    Department dep;
    dep.state.setAktBeavtip(2);
    dep.state.connection().execute(
        QStringLiteral("DELETE FROM BEAV_TIP WHERE BEAVTIP_FAJTA = 'B'"));
    MessageRecorder messages;
    ModalDriver driver;
    lists::bbZazadorozClick(dep.state, QStringLiteral("bbBetForglista"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Nincs egyetlen lista sem!")});
    QVERIFY(messages.messages().constFirst().kind == ui::MessageKind::Plain);
    QVERIFY(driver.shown().isEmpty());
    QVERIFY(dep.state.atListaDb().isOpen());
    QCOMPARE(dep.state.aktBeavtip(), 2);
}

QTEST_MAIN(TestListSelection)
#include "tst_listselection.moc"
