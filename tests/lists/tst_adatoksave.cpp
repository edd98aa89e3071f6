// What the member dialog stores: the change log against the entry as stored when another
// workstation changed it meanwhile and the person saved again knowingly, names exactly as the
// box shows them, and the dialog gone once it has closed.
#include "department.h"
#include "dialogsteps.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/statement.h"
#include "lists/listselection.h"
#include "lists/ufrmAdatok.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

QString logText(db::Connection &connection)
{
    QStringList lines;
    for (const QVariantList &row :
         rows(connection, u"SELECT MEZO, REGI_ERTEK, UJ_ERTEK FROM LOG ORDER BY SORSZAM"_s))
        lines << u"%1 %2 %3"_s.arg(row.value(0).toString(), row.value(1).toString(),
                                   row.value(2).toString());
    return lines.join(u'|');
}
} // namespace

class TestAdatokSave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(8, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void logComparesWithTheEntryAsStored_data();
    void logComparesWithTheEntryAsStored();
    void nameStoredExactlyAsShown_data();
    void nameStoredExactlyAsShown();
    void closedDialogsAreGone();
};

void TestAdatokSave::logComparesWithTheEntryAsStored_data()
{
    QTest::addColumn<QString>("otherCode"); // what another workstation stores meanwhile
    QTest::addColumn<QString>("otherDate");
    QTest::addColumn<QString>("log");
    // The dialog records "Beavatkozás megtörtént" on 3/5/2026 for an entry read as VAR, 2/1/2026.
    QTest::newRow("both changed elsewhere") << "HAL"
                                            << "2026-03-01"
                                            << "ESEM_KOD HAL BEA|ESEM_DATUM 3/1/2026 3/5/2026";
    QTest::newRow("elsewhere already as chosen here") << "BEA"
                                                      << "2026-03-05"
                                                      << "";
    QTest::newRow("only the day differs from what is stored") << "BEA"
                                                              << "2026-03-04"
                                                              << "ESEM_DATUM 3/4/2026 3/5/2026";
}

void TestAdatokSave::logComparesWithTheEntryAsStored()
{
    QFETCH(QString, otherCode);
    QFETCH(QString, otherDate);
    QFETCH(QString, log);
    Department dep;
    dep.state.setAktBeavtip(1);
    const qint64 hiv = dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    MessageRecorder recorder;
    ModalDriver driver;
    bool openAfterFirstOk = false;
    QString logAfterFirstOk = u"?"_s;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        // Another workstation, its own connection, while this dialog is open.
        db::Connection other;
        dep.dir.connect(other);
        db::Statement change(other, u"UPDATE LISTA SET ESEM_KOD = :k, ESEM_DATUM = :d "
                                    u"WHERE HIV_SZAM = :h"_s);
        change.bind(u":k"_s, otherCode);
        change.bind(u":d"_s, otherDate);
        change.bind(u":h"_s, hiv);
        change.step();
        other.close();

        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        event->setCurrentIndex(event->findText(u"Beavatkozás megtörtént"_s));
        child<QDateEdit>(d, u"dtpEsemDatum"_s)->setDate(QDate(2026, 3, 5));
        // The change made elsewhere is told first and nothing is written; the second OK
        // saves knowingly.
        press(d, u"btnOK"_s);
        openAfterFirstOk = d->isVisible();
        logAfterFirstOk = logText(dep.state.connection());
        press(d, u"btnOK"_s);
    });
    onListManager(driver, [&](QDialog *d) { press(d, u"bbEsem"_s); });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.count(), 1);
    QVERIFY(recorder.last().startsWith(u"A bejegyzést időközben máshol módosították"_s));
    QVERIFY(openAfterFirstOk);
    QCOMPARE(logAfterFirstOk, QString());
    QCOMPARE(logText(dep.state.connection()), log);
    QCOMPARE(rows(dep.state.connection(), u"SELECT ESEM_KOD, ESEM_DATUM FROM LISTA"_s).value(0),
             (QVariantList{u"BEA"_s, u"2026-03-05"_s}));
}

void TestAdatokSave::nameStoredExactlyAsShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    const QString letters49 = QString(48, u'á') + u'Ő';
    const QString emoji = u"\U0001F600"_s;
    QTest::newRow("49 letters and an emoji") << letters49 + emoji << "" << letters49 + emoji;
    QTest::newRow("a 51st character is refused, the emoji is not split")
        << QString(49, u'a') + emoji + u'b' << "" << QString(49, u'a') + emoji;
    QTest::newRow("an emoji past the 50th character never enters halfway")
        << QString(50, u'a') << emoji << QString(50, u'a');
    QTest::newRow("pasted NUL, tab and line breaks are dropped")
        << "Kiss " << u"Ö\0dön\tné\r\nX\u2028Y"_s << u"Kiss ÖdönnéXY"_s;
}

void TestAdatokSave::nameStoredExactlyAsShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    Department dep;
    dep.state.setAktBeavtip(1);
    MessageRecorder recorder;
    ModalDriver driver;
    QString inBox;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        auto *taj = child<QLineEdit>(d, u"eTaj"_s);
        taj->setFocus();
        taj->setCursorPosition(0);
        QTest::keyClicks(taj, u"123456788"_s);
        auto *nev = child<QLineEdit>(d, u"eNev"_s);
        nev->setFocus();
        typeText(nev, typed);
        nev->insert(pasted); // what a paste does
        inBox = nev->text();
        QTest::mouseClick(child<QRadioButton>(d, u"rgSurgos1"_s), Qt::LeftButton);
        press(d, u"btnOK"_s);
    });
    onListManager(driver, [&](QDialog *d) { press(d, u"bbUjTag"_s); });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.texts(), QStringList());
    QCOMPARE(inBox, shown);
    QCOMPARE(rows(dep.state.connection(), u"SELECT NEV, length(NEV) FROM LISTA"_s),
             (QList<QVariantList>{{shown, qint64(shown.toUcs4().size())}}));
}

void TestAdatokSave::closedDialogsAreGone()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    ModalDriver driver;
    QList<QPointer<QDialog>> dialogs;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        dialogs << d;
        press(d, u"btnCancel"_s);
    });
    int aliveInManager = -1;
    onListManager(driver, [&](QDialog *d) {
        for (int i = 0; i < 3; ++i) {
            press(d, u"bbEsem"_s);
            press(d, u"bbUjTag"_s);
        }
        aliveInManager = int(d->findChildren<TfrmAdatok *>().size());
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(dialogs.size(), 6);
    QCOMPARE(aliveInManager, 0);
    for (const QPointer<QDialog> &d : dialogs)
        QVERIFY(d.isNull());
}

QTEST_MAIN(TestAdatokSave)
#include "tst_adatoksave.moc"
