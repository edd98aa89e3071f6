// A list code past 32 bits, written straight into the database, stays its own list: the chooser,
// the list manager, the TAJ search and the statistics never open, show or count another list
// under it. The server's integer columns refuse such a code outright.
#include "department.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "serverdatabase.h"
#include "typing.h"

#include "db/statement.h"
#include "db/statements.h"
#include "lists/listselection.h"
#include "lists/tajsearch.h"
#include "stats/scope.h"
#include "ui/dialog.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const QString managerName = u"frmListakezelo"_s;
const QString chooserName = u"frmListaValaszto"_s;
const QString bigListName = u"Nagy kódú lista"_s;
constexpr qint64 beyond32Bits = 4294967298;
// The server's integer columns hold 32 bits: there the widest code it can store stands in.
qint64 wideCode()
{
    return serverEngine() ? 2147483647 : beyond32Bits;
}

// What the list manager showed when it opened.
struct Opened
{
    qint64 list = -2;
    QStringList tajs;
};

void recordManager(ModalDriver &driver, ui::MainState &state, Opened &opened)
{
    driver.on(managerName, [&state, &opened](QDialog *d) {
        opened.list = state.aktBeavtip();
        opened.tajs = gridColumn(child<QAbstractItemView>(d, u"dbgLista"_s), u"TAJ"_s);
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
}

// Chooses the row of the named list; notes each list's count as offered.
void chooseByName(ModalDriver &driver, const QString &title, const QString &name,
                  QStringList &offered)
{
    driver.on(chooserName, [title, name, &offered](QDialog *d) {
        auto *grid = child<QAbstractItemView>(d, u"DBGrid1"_s);
        const QStringList names = gridColumn(grid, title);
        const QStringList counts = gridColumn(grid, u"Listatagok"_s);
        offered.clear();
        for (int row = 0; row < names.size(); ++row)
            offered << names.at(row) + u'=' + counts.value(row);
        grid->setFocus();
        for (int row = 0; row < names.indexOf(name); ++row)
            QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Return);
    });
}

} // namespace

class TestWideCodes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QCOMPARE(ui::takeForcedCloses(), 0); }
    void wideListCodeStaysItsOwnList();
};

void TestWideCodes::wideListCodeStaysItsOwnList()
{
    Department dep;
    db::Connection &connection = dep.state.connection();
    if (serverEngine()) {
        // What the server's column cannot hold is refused there, never wrapped.
        const QString refused = dbErrorOf([&] {
            connection.execute(u"INSERT INTO BEAV_TIP (BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA) "
                               u"VALUES (4294967298, 'x', 'V')"_s);
        });
        QVERIFY2(refused.contains(u"out of range"_s), qPrintable(refused));
    }
    const qint64 code = wideCode();
    db::Statement list(connection, db::statements::insertListRow());
    list.bind(1, code);
    list.bind(2, bigListName);
    list.bind(3, u"V"_s);
    list.step();
    for (const QString &taj : {u"111111110"_s, u"222222220"_s, u"333333330"_s})
        dep.entry(2, taj);
    const QString both = u"123456788"_s;
    dep.entry(code, u"444444440"_s);
    dep.entry(code, both);

    MessageRecorder messages;
    {
        ModalDriver driver;
        QStringList offered;
        chooseByName(driver, u"Várólista Beavatkozástípusa"_s, bigListName, offered);
        Opened opened;
        recordManager(driver, dep.state, opened);
        dep.state.setAktBeavtip(4);
        lists::selectList(dep.state, u"bbZazadoroz"_s);
        QVERIFY(offered.contains(u"Térdprotézis beültetése=3"_s));
        QVERIFY2(offered.contains(bigListName + u"=2"_s), qPrintable(offered.join(u", "_s)));
        QCOMPARE(opened.list, code);
        QCOMPARE(opened.tajs, (QStringList{u"444444440"_s, both}));
    }
    {
        // The TAJ search counts the patient once on each list and opens the one chosen.
        dep.entry(2, both);
        ModalDriver driver;
        driver.on(u"frmTAJkeres"_s, [&both](QDialog *d) {
            auto *edit = child<QLineEdit>(d, u"eTaj"_s);
            edit->setFocus();
            edit->setCursorPosition(0);
            typeText(edit, both);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QStringList offered;
        chooseByName(driver, u"Várólista Beavatkozástípusa"_s, bigListName, offered);
        Opened opened;
        recordManager(driver, dep.state, opened);
        lists::searchTaj(dep.state);
        offered.sort();
        QCOMPARE(offered, (QStringList{bigListName + u"=1"_s, u"Térdprotézis beültetése=1"_s}));
        QCOMPARE(opened.list, code);
        QCOMPARE(opened.tajs, (QStringList{u"444444440"_s, both}));
    }
    // The statistics offer the list under its own code and count its own members.
    const QList<stats::Scope> choices = stats::scopeChoices(connection);
    const stats::Scope *wide = stats::findList(choices, code);
    QVERIFY(wide);
    QCOMPARE(wide->label, QString::number(code) + u" – "_s + bigListName);
    QCOMPARE(
        connection.scalar(u"SELECT count(*) FROM LISTA WHERE "_s + wide->condition()).toLongLong(),
        2);
    QVERIFY(messages.texts().isEmpty());
}

QTEST_MAIN(TestWideCodes)
#include "tst_widecodes.moc"
