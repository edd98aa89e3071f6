// The list manager and the member dialog on a server that goes away while they are open: after
// a restart the next button goes on; while the server is down the dialog says so and keeps
// what was typed; a save whose connection broke halfway leaves nothing of itself behind.
#include "department.h"
#include "dialogsteps.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "serverdatabase.h"
#include "typing.h"

#include "db/clock.h"
#include "db/messages.h"
#include "lists/listselection.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

void typeNewMember(QDialog *d)
{
    testsupport::typeNewMember(d, u"012345678"_s, u"Új Ödön"_s);
}

QStringList names(db::Connection &connection)
{
    QStringList result;
    for (const QVariantList &row : rows(connection, u"SELECT NEV FROM LISTA ORDER BY NEV"_s))
        result << row.value(0).toString();
    return result;
}
} // namespace

class TestServerAway : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(8, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void listManagerGoesOnAfterRestart();
    void memberDialogKeepsInputWhileServerIsDown();
    void brokenEventSaveWritesNothing();
};

void TestServerAway::listManagerGoesOnAfterRestart()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    MessageRecorder recorder;
    ModalDriver driver;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        typeNewMember(d);
        press(d, u"btnOK"_s);
    });
    QStringList shown;
    onListManager(driver, [&](QDialog *d) {
        stopServer();
        startServer();
        press(d, u"bbUjTag"_s);
        shown = gridColumn(child<QAbstractItemView>(d, u"dbgLista"_s), u"Név"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.texts(), QStringList());
    QCOMPARE(driver.shown(), (QStringList{u"frmListakezelo"_s, u"frmAdatok"_s}));
    QCOMPARE(names(dep.state.connection()), (QStringList{u"Kiss Ödön"_s, u"Új Ödön"_s}));
    QVERIFY(shown.contains(u"Új Ödön"_s));
}

void TestServerAway::memberDialogKeepsInputWhileServerIsDown()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    MessageRecorder recorder;
    ModalDriver driver;
    bool openWhileDown = false;
    QString nameWhileDown;
    QString tajWhileDown;
    bool closedOnceUp = false;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        typeNewMember(d);
        StoppedServer down;
        press(d, u"btnOK"_s);
        openWhileDown = d->isVisible();
        nameWhileDown = child<QLineEdit>(d, u"eNev"_s)->text();
        tajWhileDown = child<QLineEdit>(d, u"eTaj"_s)->displayText();
        down.start();
        press(d, u"btnOK"_s);
        closedOnceUp = !d->isVisible();
    });
    onListManager(driver, [&](QDialog *d) { press(d, u"bbUjTag"_s); });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.texts(), QStringList{db::message::serverUnreachable.toString().arg(
                                               dep.state.connection().path())
                                           + u". "_s + db::message::nothingChanged.toString()});
    QVERIFY(recorder.messages().constFirst().kind == ui::MessageKind::Error);
    QVERIFY(openWhileDown);
    QCOMPARE(nameWhileDown, u"Új Ödön"_s);
    QCOMPARE(tajWhileDown, u"012-345-678"_s);
    QVERIFY(closedOnceUp);
    QCOMPARE(names(dep.state.connection()), QStringList{u"Új Ödön"_s});
}

void TestServerAway::brokenEventSaveWritesNothing()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    breakSessionOnce(dep.state.connection(), u"naplo_megszakad"_s, u"AFTER INSERT ON LOG"_s);
    MessageRecorder recorder;
    ModalDriver driver;
    bool openAfterBreak = false;
    QString eventAfterBreak;
    QList<QVariantList> storedAfterBreak;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        event->setCurrentIndex(event->findText(u"Beavatkozás megtörtént"_s));
        child<QDateEdit>(d, u"dtpEsemDatum"_s)->setDate(QDate(2026, 3, 5));
        press(d, u"btnOK"_s);
        openAfterBreak = d->isVisible();
        eventAfterBreak = event->currentText();
        storedAfterBreak = rows(dep.state.connection(),
                                u"SELECT ESEM_KOD, (SELECT count(*) FROM LOG) FROM LISTA"_s);
        press(d, u"btnOK"_s);
    });
    onListManager(driver, [&](QDialog *d) { press(d, u"bbEsem"_s); });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.texts(), QStringList{db::message::connectionLost.toString()});
    QVERIFY(openAfterBreak);
    QCOMPARE(eventAfterBreak, u"Beavatkozás megtörtént"_s);
    // Neither the change log nor the entry's new event: the whole save was undone.
    QCOMPARE(storedAfterBreak, (QList<QVariantList>{{u"VAR"_s, qint64(0)}}));
    // Pressed again, the save goes through whole.
    QCOMPARE(
        rows(dep.state.connection(), u"SELECT ESEM_KOD, (SELECT count(*) FROM LOG) FROM LISTA"_s),
        (QList<QVariantList>{{u"BEA"_s, qint64(2)}}));
    QCOMPARE(breaks(dep.state.connection(), u"naplo_megszakad"_s), 3);
}

QTEST_MAIN(TestServerAway)
#include "tst_serveraway.moc"
