// Finding a patient by TAJ across all lists: the TAJ dialog, the count per list, the chooser
// over the search result, and the list manager opened on the patient's row.
#include "department.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "tempdatabase.h"
#include "typing.h"

#include "lists/listselection.h"
#include "lists/tajsearch.h"
#include "lists/ufrmListakezelo.h"
#include "rules/messages.h"
#include "rules/taj.h"
#include "ui/mainstate.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace testsupport;

namespace {

// What the list manager showed when it opened.
struct Opened
{
    qint64 list = -2;
    QString currentTaj;
    qint64 currentHivSzam = 0;
};

void typeTaj(QDialog *d, const QString &digits)
{
    auto *edit = child<QLineEdit>(d, QStringLiteral("eTaj"));
    edit->setFocus();
    edit->setCursorPosition(0);
    typeText(edit, digits);
}

void searchFor(ModalDriver &driver, const QString &digits)
{
    driver.on(QStringLiteral("frmTAJkeres"), [digits](QDialog *d) {
        typeTaj(d, digits);
        QTest::keyClick(child<QLineEdit>(d, QStringLiteral("eTaj")), Qt::Key_Return);
    });
}

void recordListManager(ModalDriver &driver, ui::MainState &state, Opened &opened)
{
    driver.on(QStringLiteral("frmListakezelo"), [&state, &opened](QDialog *d) {
        auto *manager = qobject_cast<TfrmListakezelo *>(d);
        QVERIFY(manager);
        opened.list = state.aktBeavtip();
        opened.currentTaj = manager->aqListaAdatok().asText(QStringLiteral("TAJ"));
        opened.currentHivSzam = manager->aqListaAdatok().asInteger(QStringLiteral("HIV_SZAM"));
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("bbOK")), Qt::LeftButton);
    });
}
} // namespace

class TestTajKeres : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QCOMPARE(ui::takeForcedCloses(), 0); }
    void cancelEndsSearchSilently();
    void emptyTajKeepsDialogOpen();
    void singleListOpensManagerOnPatientRow_data();
    void singleListOpensManagerOnPatientRow();
    void severalListsShowChooserOverResult_data();
    void severalListsShowChooserOverResult();
    void notOnAnyList_data();
    void notOnAnyList();
    void listZeroFoundMakesNextListPressSkipChooser();
    void nextListPressShowsSummaryAgain();
    void repeatedSearchesAndOpensLeaveNothingBehind();
};

// A day at the desk: the same search and list opened again and again in one run of the
// program. With the leak checker built in, whatever became unreachable is reported here.
void TestTajKeres::repeatedSearchesAndOpensLeaveNothingBehind()
{
    Department dep;
    for (int i = 0; i < 20; ++i)
        dep.entry(3, QStringLiteral("1111111%1").arg(i, 2, 10, QLatin1Char('0')));
    const QString taj = QStringLiteral("123456788");
    const qint64 patient = dep.entry(3, taj);
    MessageRecorder messages;
    ModalDriver driver;
    searchFor(driver, taj);
    Opened opened;
    recordListManager(driver, dep.state, opened);
    for (int round = 0; round < 30; ++round) {
        opened = Opened();
        lists::searchTaj(dep.state);
        QCOMPARE(opened.list, 3);
        QCOMPARE(opened.currentHivSzam, patient);
    }
    QCOMPARE(driver.shown().size(), 60);
    QVERIFY(messages.texts().isEmpty());
#if defined(__SANITIZE_ADDRESS__)
    QCOMPARE(__lsan_do_recoverable_leak_check(), 0);
#endif
}

void TestTajKeres::cancelEndsSearchSilently()
{
    Department dep;
    dep.entry(1, QStringLiteral("123456788"));
    dep.state.setAktTAJ(QStringLiteral("111111110"));
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(QStringLiteral("frmTAJkeres"), [](QDialog *d) {
        typeTaj(d, QStringLiteral("123456788"));
        d->close(); // the title bar's close box gives Cancel
    });
    lists::searchTaj(dep.state);
    QCOMPARE(driver.shown(), QStringList{QStringLiteral("frmTAJkeres")});
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(dep.state.aktTAJ(), rules::noTaj());
    QCOMPARE(dep.state.aktBeavtip(), -1);
}

void TestTajKeres::emptyTajKeepsDialogOpen()
{
    Department dep;
    MessageRecorder messages;
    ModalDriver driver;
    bool stayedOpen = false;
    QWidget *focusAfter = nullptr;
    driver.on(QStringLiteral("frmTAJkeres"), [&](QDialog *d) {
        typeTaj(d, QStringLiteral("000"));
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnOK")), Qt::LeftButton);
        stayedOpen = d->isVisible();
        focusAfter = d->focusWidget();
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnCancel")), Qt::LeftButton);
    });
    lists::searchTaj(dep.state);
    QVERIFY(stayedOpen);
    QCOMPARE(messages.texts(), QStringList{rules::message::tajEmpty.toString()});
    QCOMPARE(focusAfter ? focusAfter->objectName() : QString(), QStringLiteral("eTaj"));
    QCOMPARE(dep.state.aktTAJ(), rules::noTaj());
}

void TestTajKeres::singleListOpensManagerOnPatientRow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("whole TAJ") << "123456788"
                               << "123456788";
    QTest::newRow("wrong check digit searched all the same") << "123456789"
                                                             << "123456789";
    QTest::newRow("partly typed, zeros for the rest") << "123"
                                                      << "123000000";
}

void TestTajKeres::singleListOpensManagerOnPatientRow()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Department dep;
    for (int i = 0; i < 5; ++i)
        dep.entry(3, QStringLiteral("11111111%1").arg(i));
    const qint64 patient = dep.entry(3, stored);
    dep.entry(4, stored, QDate(2026, 3, 7), QStringLiteral("BEA")); // taken off list 4: not counted
    MessageRecorder messages;
    ModalDriver driver;
    searchFor(driver, typed);
    Opened opened;
    recordListManager(driver, dep.state, opened);
    lists::searchTaj(dep.state);
    QCOMPARE(driver.shown(),
             (QStringList{QStringLiteral("frmTAJkeres"), QStringLiteral("frmListakezelo")}));
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(dep.state.aktTAJ(), stored);
    QCOMPARE(opened.list, 3);
    QCOMPARE(opened.currentTaj, stored);
    QCOMPARE(opened.currentHivSzam, patient);
    QCOMPARE(dep.state.aktBeavtip(), 3);
}

void TestTajKeres::severalListsShowChooserOverResult_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("OK on the second list") << true;
    QTest::newRow("cancel") << false;
}

void TestTajKeres::severalListsShowChooserOverResult()
{
    QFETCH(bool, confirm);
    Department dep;
    const QString taj = QStringLiteral("012345678");
    dep.entry(2, taj);
    dep.entry(2, taj);
    const qint64 onList12 = dep.entry(12, taj);
    dep.entry(1, QStringLiteral("999999999")); // somebody else
    MessageRecorder messages;
    ModalDriver driver;
    searchFor(driver, taj);
    QList<QPair<QString, qint64>> offered;
    driver.on(QStringLiteral("frmListaValaszto"), [&](QDialog *d) {
        auto *grid = d->findChild<QAbstractItemView *>(QStringLiteral("DBGrid1"));
        QVERIFY(grid);
        const QStringList names = gridColumn(grid, QStringLiteral("Várólista Beavatkozástípusa"));
        const QStringList counts = gridColumn(grid, QStringLiteral("Listatagok"));
        for (int row = 0; row < names.size(); ++row)
            offered.append({names.at(row), counts.value(row).toLongLong()});
        if (confirm) {
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Down); // the second row: list 12
            QTest::keyClick(grid, Qt::Key_Return);
        } else {
            QTest::keyClick(grid, Qt::Key_Escape);
        }
    });
    Opened opened;
    recordListManager(driver, dep.state, opened);
    lists::searchTaj(dep.state);

    std::sort(offered.begin(), offered.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QCOMPARE(offered,
             (QList<QPair<QString, qint64>>{{QStringLiteral("Sebészeti felvétel"), 1},
                                            {QStringLiteral("Térdprotézis beültetése"), 2}}));
    QVERIFY(messages.texts().isEmpty());
    if (confirm) {
        QCOMPARE(driver.shown().size(), 3);
        QCOMPARE(opened.list, 12);
        QCOMPARE(opened.currentHivSzam, onList12);
        QCOMPARE(dep.state.aktBeavtip(), 12);
    } else {
        QCOMPARE(driver.shown().size(), 2);
        QCOMPARE(dep.state.aktBeavtip(), -1);
        QCOMPARE(dep.state.aktTAJ(), taj);
    }
    QVERIFY(dep.mainWidget.findChildren<QDialog *>().isEmpty());
}

void TestTajKeres::notOnAnyList_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("event");
    QTest::newRow("no entry at all") << -1 << "";
    QTest::newRow("every entry taken off its list") << 1 << "ELH";
    QTest::newRow("list without a BEAV_TIP row") << 77 << "VAR";
}

void TestTajKeres::notOnAnyList()
{
    QFETCH(int, list);
    QFETCH(QString, event);
    Department dep;
    const QString taj = QStringLiteral("123456788");
    if (list >= 0)
        dep.entry(list, taj, QDate(2026, 3, 7), event);
    MessageRecorder messages;
    ModalDriver driver;
    searchFor(driver, taj);
    lists::searchTaj(dep.state);
    QCOMPARE(driver.shown(), QStringList{QStringLiteral("frmTAJkeres")});
    QCOMPARE(messages.texts(), QStringList{rules::message::tajOnNoList.toString()});
    QCOMPARE(dep.state.aktTAJ(), taj);
    QCOMPARE(dep.state.aktBeavtip(), -1);
}

void TestTajKeres::listZeroFoundMakesNextListPressSkipChooser()
{
    for (const QString &type : {QStringLiteral("F"), QStringLiteral("J")}) {
        Department dep(type);
        const QString taj = QStringLiteral("123456788");
        dep.entry(0, taj);
        MessageRecorder messages;
        ModalDriver driver;
        searchFor(driver, taj);
        Opened opened;
        recordListManager(driver, dep.state, opened);
        lists::searchTaj(dep.state);
        QCOMPARE(opened.list, 0);
        QCOMPARE(opened.currentTaj, taj);
        // The next list button goes straight to list 0.
        lists::selectList(dep.state, QStringLiteral("bbZazadoroz"));
        QCOMPARE(driver.shown(),
                 (QStringList{QStringLiteral("frmTAJkeres"), QStringLiteral("frmListakezelo"),
                              QStringLiteral("frmListakezelo")}));
        QVERIFY(messages.texts().isEmpty());
    }
}

void TestTajKeres::nextListPressShowsSummaryAgain()
{
    Department dep;
    const QString taj = QStringLiteral("123456788");
    dep.entry(1, taj);
    dep.entry(2, taj);
    MessageRecorder messages;
    ModalDriver driver;
    searchFor(driver, taj);
    int chooserRows = -1;
    driver.on(QStringLiteral("frmListaValaszto"), [&](QDialog *d) {
        chooserRows = child<QAbstractItemView>(d, QStringLiteral("DBGrid1"))->model()->rowCount();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    lists::searchTaj(dep.state);
    QCOMPARE(chooserRows, 2);
    lists::selectList(dep.state, QStringLiteral("bbZazadoroz"));
    QCOMPARE(chooserRows, 5); // every waiting list, from the summary
}

QTEST_MAIN(TestTajKeres)
#include "dataset/dataset.h"
#include "tst_tajkeres.moc"
