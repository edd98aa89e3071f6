// Choosing a list with the two list buttons: which summary the chooser shows, what OK and
// Cancel leave behind, and the shortcut straight to list 0.
#include "department.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "typing.h"

#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "rules/messages.h"
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
void recordManager(ModalDriver &driver, ui::MainState &state, qint64 &openedList)
{
    driver.on(managerName, [&state, &openedList](QDialog *d) {
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
    void chooserAnswer_data();
    void chooserAnswer();
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
    MessageRecorder messages;
    ModalDriver driver;
    QStringList shownNames;
    QStringList counts;
    driver.on(chooserName, [&](QDialog *d) {
        const auto *grid = child<QAbstractItemView>(d, QStringLiteral("DBGrid1"));
        QCOMPARE(d->focusWidget(), grid);
        shownNames = gridColumn(grid, nameTitle);
        counts = gridColumn(grid, QStringLiteral("Listatagok"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    lists::selectList(dep.state, sender);
    QCOMPARE(shownNames, names);
    if (names.size() == 5)
        QCOMPARE(counts.join(u','), QStringLiteral("0,2,0,0,0"));
    else
        QCOMPARE(counts.join(u','), QStringLiteral("0,1,0"));
    QCOMPARE(driver.shown(), QStringList{chooserName});
    QVERIFY(messages.texts().isEmpty());
}

void TestListSelection::chooserAnswer_data()
{
    QTest::addColumn<int>("downPresses");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("current"); // the list afterwards; 4 was chosen before
    QTest::newRow("OK untouched: the first row") << 0 << "ok" << 1;
    QTest::newRow("OK on the third row") << 2 << "ok" << 3;
    QTest::newRow("Mégsem") << 1 << "cancel" << 4;
    QTest::newRow("Esc") << 1 << "escape" << 4;
    QTest::newRow("close box") << 1 << "close" << 4;
}

void TestListSelection::chooserAnswer()
{
    QFETCH(int, downPresses);
    QFETCH(QString, answer);
    QFETCH(int, current);
    Department dep;
    dep.state.setAktBeavtip(4); // not 0, so the chooser comes
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(chooserName, [&](QDialog *d) {
        auto *grid = child<QAbstractItemView>(d, u"DBGrid1"_s);
        for (int i = 0; i < downPresses; ++i)
            QTest::keyClick(grid, Qt::Key_Down);
        if (answer == u"ok")
            QTest::keyClick(grid, Qt::Key_Return); // Enter on the grid presses OK
        else if (answer == u"cancel")
            QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
        else if (answer == u"escape")
            QTest::keyClick(grid, Qt::Key_Escape);
        else
            d->close();
    });
    qint64 openedList = -2;
    recordManager(driver, dep.state, openedList);
    lists::selectList(dep.state, u"bbZazadoroz"_s);
    const bool chosen = answer == u"ok";
    QCOMPARE(driver.shown(),
             (chosen ? QStringList{chooserName, managerName} : QStringList{chooserName}));
    QCOMPARE(openedList, chosen ? current : -2);
    QCOMPARE(dep.state.aktBeavtip(), current);
    // Every window is gone, the cancelled chooser too.
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
    MessageRecorder messages;
    ModalDriver driver;
    QStringList members;
    driver.on(managerName, [&](QDialog *d) {
        members = gridColumn(child<QAbstractItemView>(d, QStringLiteral("dbgLista")),
                             QStringLiteral("TAJ"));
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("bbOK")), Qt::LeftButton);
    });
    lists::selectList(dep.state, sender);
    QCOMPARE(driver.shown(), QStringList{managerName});
    QCOMPARE(members, QStringList{QStringLiteral("123456788")});
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
    lists::selectList(dep.state, QStringLiteral("bbBetForglista"));
    QCOMPARE(messages.texts(), QStringList{rules::message::noList.toString()});
    QVERIFY(messages.messages().constFirst().kind == ui::MessageKind::Plain);
    QVERIFY(driver.shown().isEmpty());
    QCOMPARE(dep.state.aktBeavtip(), 2);
}

QTEST_MAIN(TestListSelection)
#include "tst_listselection.moc"
