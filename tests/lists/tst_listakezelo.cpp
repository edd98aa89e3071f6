// The list manager: which entries it shows and in what order, its two buttons and keys, and
// how it fills the member dialog for each mode.
#include "department.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "db/fields.h"
#include "db/statements.h"
#include "lists/listselection.h"
#include "lists/member.h"
#include "lists/ufrmListakezelo.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QString managerName = QStringLiteral("frmListakezelo");
const QString memberDialogName = QStringLiteral("frmAdatok");
const QDate today(2026, 3, 10);

QAbstractItemView *grid(QDialog *d)
{
    return child<QAbstractItemView>(d, QStringLiteral("dbgLista"));
}

QPushButton *button(QDialog *d, const char *name)
{
    return child<QPushButton>(d, QString::fromLatin1(name));
}

// What the member dialog showed when it opened.
struct Filled
{
    QString hivSzam;
    QString taj;
    QString nev;
    QDate listara;
    int surgos = -2;
    QString event;
    QDate esemDatum;
    bool patientEnabled = false;
    bool eventEnabled = false;
    bool eventDateEnabled = false;
};

Filled readMemberDialog(QDialog *d)
{
    Filled f;
    f.hivSzam = child<QLineEdit>(d, QStringLiteral("eHivSzam"))->text();
    auto *taj = child<QLineEdit>(d, QStringLiteral("eTaj"));
    f.taj = taj->displayText();
    f.nev = child<QLineEdit>(d, QStringLiteral("eNev"))->text();
    auto *listara = child<QDateEdit>(d, QStringLiteral("dtpListara"));
    f.listara = listara->date();
    f.surgos = child<QRadioButton>(d, QStringLiteral("rgSurgos0"))->isChecked()   ? 0
               : child<QRadioButton>(d, QStringLiteral("rgSurgos1"))->isChecked() ? 1
                                                                                  : -1;
    auto *event = child<QComboBox>(d, QStringLiteral("cbEsemenynev"));
    f.event = event->currentIndex() < 0 ? QString() : event->currentText();
    auto *esemDatum = child<QDateEdit>(d, QStringLiteral("dtpEsemDatum"));
    f.esemDatum = esemDatum->date();
    f.patientEnabled = taj->isEnabled() && child<QLineEdit>(d, QStringLiteral("eNev"))->isEnabled()
                       && listara->isEnabled()
                       && child<QWidget>(d, QStringLiteral("rgSurgos"))->isEnabled();
    f.eventEnabled = event->isEnabled();
    f.eventDateEnabled = esemDatum->isEnabled();
    return f;
}
} // namespace

class TestListakezelo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup()
    {
        db::setFixedNow({});
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void showsListMembersOldestFirst_data();
    void showsListMembersOldestFirst();
    void columnsAndDates();
    void eventFillFollowsRow_data();
    void eventFillFollowsRow();
    void buttonsFillMemberDialogForMode();
    void keysOfTheWindow_data();
    void keysOfTheWindow();
    void openingWithTajSelectsItsRow();
};

void TestListakezelo::showsListMembersOldestFirst_data()
{
    // Entries as "list taj yyyy-MM-dd event", in the order they are put into LISTA.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("oldest entry first")
        << QStringList{u"1 300000000 2026-03-09 VAR"_s, u"1 100000000 2025-12-31 VAR"_s,
                       u"1 200000000 2026-01-02 VAR"_s}
        << QStringList{u"100000000"_s, u"200000000"_s, u"300000000"_s};
    QTest::newRow("same day by reference number")
        << QStringList{u"1 300000000 2026-03-07 VAR"_s, u"1 100000000 2026-03-07 HAL"_s,
                       u"1 200000000 2026-03-07 VAR"_s, u"1 400000000 2026-03-06 VAR"_s}
        << QStringList{u"400000000"_s, u"300000000"_s, u"100000000"_s, u"200000000"_s};
    QTest::newRow("events that take the entry off the list")
        << QStringList{u"1 100000000 2026-03-01 BEA"_s, u"1 200000000 2026-03-02 KER"_s,
                       u"1 300000000 2026-03-03 ELH"_s, u"1 400000000 2026-03-04 ATH"_s,
                       u"1 500000000 2026-03-05 NJE"_s, u"1 600000000 2026-03-06 HAL"_s}
        << QStringList{u"600000000"_s};
    QTest::newRow("other lists") << QStringList{u"2 100000000 2026-03-01 VAR"_s,
                                                u"0 200000000 2026-03-01 VAR"_s,
                                                u"1 300000000 2026-03-01 VAR"_s}
                                 << QStringList{u"300000000"_s};
    QTest::newRow("empty list") << QStringList{u"2 100000000 2026-03-01 VAR"_s} << QStringList{};
}

void TestListakezelo::showsListMembersOldestFirst()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, shown);
    Department dep;
    for (const QString &entry : std::as_const(entries)) {
        const QStringList f = entry.split(u' ');
        dep.entry(f[0].toInt(), f[1], QDate::fromString(f[2], Qt::ISODate), f[3]);
    }
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QStringList tajs;
    bool esemEnabled = false;
    bool ujTagEnabled = false;
    QString current;
    driver.on(managerName, [&](QDialog *d) {
        tajs = gridColumn(grid(d), QStringLiteral("TAJ"));
        esemEnabled = button(d, "bbEsem")->isEnabled();
        ujTagEnabled = button(d, "bbUjTag")->isEnabled();
        const QModelIndex selected = grid(d)->currentIndex();
        current = selected.isValid() ? tajs.value(selected.row()) : QString();
        QCOMPARE(d->focusWidget(), button(d, "bbOK"));
        QTest::mouseClick(button(d, "bbOK"), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(tajs, shown);
    QCOMPARE(esemEnabled, !shown.isEmpty());
    QVERIFY(ujTagEnabled);
    QCOMPARE(current, shown.value(0));
    QVERIFY(!dep.state.aktListakezelo());
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::columnsAndDates()
{
    Department dep;
    dep.entry(1, QStringLiteral("123456788"), QDate(2026, 1, 12), QStringLiteral("HAL"),
              QStringLiteral("O'Brien Éva"), QStringLiteral("A"));
    dep.state.setAktBeavtip(1);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    const QAbstractItemModel *model = grid(&window)->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{u"Hiv. Szám"_s, u"TAJ"_s, u"Név"_s, u"Listárakerülés"_s,
                                  u"Sürgős"_s, u"Esemény"_s, u"Esemény dátum"_s}));
    QStringList row;
    for (int c = 0; c < model->columnCount(); ++c)
        row << model->index(0, c).data().toString();
    const QString shortDate = QLocale().toString(QDate(2026, 1, 12), QLocale::ShortFormat);
    QCOMPARE(row, (QStringList{QStringLiteral("1"), QStringLiteral("123456788"),
                               QStringLiteral("O'Brien Éva"), shortDate, QStringLiteral("A"),
                               QStringLiteral("Halasztva a beteg kérésére"), shortDate}));
    // The hidden event code is still read from the query.
    QCOMPARE(window.aqListaAdatok().asText(QStringLiteral("ESEM_KOD")), QStringLiteral("HAL"));
}

void TestListakezelo::eventFillFollowsRow_data()
{
    QTest::addColumn<QString>("surgosseg");
    QTest::addColumn<int>("item");
    QTest::newRow("A: acute") << "A" << 0;
    QTest::newRow("H: deferrable") << "H" << 1;
    QTest::newRow("lower-case a: deferrable") << "a" << 1;
}

void TestListakezelo::eventFillFollowsRow()
{
    QFETCH(QString, surgosseg);
    QFETCH(int, item);
    Department dep;
    const qint64 hiv = dep.entry(5, QStringLiteral("012345678"), QDate(2025, 11, 3),
                                 QStringLiteral("HAL"), QStringLiteral("Nagy Ödön"), surgosseg);
    db::Dataset members;
    members.setConnection(&dep.state.connection());
    members.setSql(db::statements::memberQuery());
    members.setFields(db::fields::members());
    members.setParameter(QStringLiteral("Aktbeavtip"), 5);
    members.open();
    const lists::MemberFill fill = lists::eventFill(members, today);
    QCOMPARE(fill.newEntry, false);
    QCOMPARE(fill.hivSzam, QString::number(hiv));
    QCOMPARE(fill.taj, QStringLiteral("012345678"));
    QCOMPARE(fill.nev, QStringLiteral("Nagy Ödön"));
    QCOMPARE(fill.listara, QDate(2025, 11, 3));
    QCOMPARE(fill.surgos, item);
    QVERIFY(fill.eventName.isEmpty());
    QCOMPARE(fill.esemDatum, today);
}

void TestListakezelo::buttonsFillMemberDialogForMode()
{
    Department dep;
    dep.entry(1, QStringLiteral("111111110"), QDate(2026, 1, 5));
    const qint64 second
        = dep.entry(1, QStringLiteral("123456788"), QDate(2026, 2, 1), QStringLiteral("HAL"),
                    QStringLiteral("Szűcs Ágnes"), QStringLiteral("A"));
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QList<Filled> filled;
    driver.on(memberDialogName, [&](QDialog *d) {
        filled << readMemberDialog(d);
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnCancel")), Qt::LeftButton);
    });
    int currentAfterEvent = -1;
    driver.on(managerName, [&](QDialog *d) {
        QTest::keyClick(grid(d), Qt::Key_Down);
        QTest::mouseClick(button(d, "bbEsem"), Qt::LeftButton);
        // A cancelled dialog still reads the list again, back on its first row.
        currentAfterEvent = grid(d)->currentIndex().row();
        QTest::mouseClick(button(d, "bbUjTag"), Qt::LeftButton);
        QTest::mouseClick(button(d, "bbOK"), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(driver.shown(), (QStringList{managerName, memberDialogName, memberDialogName}));
    QCOMPARE(filled.size(), 2);
    QCOMPARE(currentAfterEvent, 0);

    const Filled &event = filled[0];
    QCOMPARE(event.hivSzam, QString::number(second));
    QCOMPARE(event.taj, QStringLiteral("123-456-788"));
    QCOMPARE(event.nev, QStringLiteral("Szűcs Ágnes"));
    QCOMPARE(event.listara, QDate(2026, 2, 1));
    QCOMPARE(event.surgos, 0);
    QCOMPARE(event.event, QString());
    QCOMPARE(event.esemDatum, today);
    QVERIFY(!event.patientEnabled);
    QVERIFY(event.eventEnabled);
    QVERIFY(event.eventDateEnabled);

    const Filled &added = filled[1];
    QCOMPARE(added.hivSzam, QString());
    QCOMPARE(added.taj, QStringLiteral("000-000-000"));
    QCOMPARE(added.nev, QString());
    QCOMPARE(added.listara, today);
    QCOMPARE(added.surgos, -1);
    QCOMPARE(added.event, QStringLiteral("Várakozás"));
    QCOMPARE(added.esemDatum, today);
    QVERIFY(added.patientEnabled);
    QVERIFY(!added.eventEnabled);
    QVERIFY(added.eventDateEnabled);
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::keysOfTheWindow_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("memberMode"); // what opened: "" none, "new" or "event"
    QTest::newRow("Enter on the grid closes") << "dbgLista" << int(Qt::Key_Return) << "";
    QTest::newRow("Enter on bbOK closes") << "bbOK" << int(Qt::Key_Enter) << "";
    QTest::newRow("Enter on bbEsem presses it") << "bbEsem" << int(Qt::Key_Return) << "event";
    QTest::newRow("Esc on the grid adds a member") << "dbgLista" << int(Qt::Key_Escape) << "new";
    QTest::newRow("Esc on bbEsem adds a member") << "bbEsem" << int(Qt::Key_Escape) << "new";
}

void TestListakezelo::keysOfTheWindow()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, memberMode);
    Department dep;
    dep.entry(1, QStringLiteral("123456788"));
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QString opened;
    driver.on(memberDialogName, [&](QDialog *d) {
        opened = child<QLineEdit>(d, QStringLiteral("eHivSzam"))->text().isEmpty()
                     ? QStringLiteral("new")
                     : QStringLiteral("event");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    bool closedByKey = false;
    driver.on(managerName, [&](QDialog *d) {
        QWidget *target = child<QWidget>(d, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        closedByKey = !d->isVisible();
        if (d->isVisible())
            QTest::mouseClick(button(d, "bbOK"), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(opened, memberMode);
    QCOMPARE(closedByKey, memberMode.isEmpty());
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::openingWithTajSelectsItsRow()
{
    Department dep;
    dep.entry(3, QStringLiteral("111111110"));
    dep.entry(3, QStringLiteral("222222220"));
    const qint64 wanted = dep.entry(3, QStringLiteral("333333330"));
    dep.state.setAktBeavtip(3);
    ModalDriver driver;
    QList<int> selectedRows;
    QList<qint64> currentHiv;
    driver.on(managerName, [&](QDialog *d) {
        auto *manager = qobject_cast<TfrmListakezelo *>(d);
        selectedRows << grid(d)->currentIndex().row();
        currentHiv << manager->aqListaAdatok().asInteger(QStringLiteral("HIV_SZAM"));
        QTest::keyClick(grid(d), Qt::Key_Return);
    });
    lists::OpenListManager(dep.state, QStringLiteral("333333330"));
    lists::OpenListManager(dep.state, QStringLiteral("999999999"));
    QCOMPARE(selectedRows, (QList<int>{2, 0}));
    QCOMPARE(currentHiv.value(0), wanted);
}

QTEST_MAIN(TestListakezelo)
#include "tst_listakezelo.moc"
