// The member dialog's rules without its window: the TAJ check digit and the TAJ edit's
// reading, the input checks in their order, and saving an event with its LOG rows.
#include "department.h"
#include "serverdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/statements.h"
#include "lists/tajedit.h"
#include "lists/ufrmAdatok.h"
#include "rules/member.h"

#include <QTest>

#include <memory>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

std::unique_ptr<db::Dataset> openMembers(db::Connection &connection, int list)
{
    auto members = std::make_unique<db::Dataset>();
    members->setConnection(&connection);
    members->setSql(db::statements::memberQuery());
    members->setFields(db::fields::members());
    members->setParameter(u"Aktbeavtip"_s, list);
    members->open();
    return members;
}

// Everything that passes, for one check at a time to break.
lists::MemberInput goodInput()
{
    lists::MemberInput input;
    input.newEntry = true;
    input.tajDigits = u"123456788"_s;
    input.listara = today;
    input.surgos = 1;
    input.eventText = u"Várakozás"_s;
    input.esemDatum = today;
    return input;
}

QString logRows(db::Connection &connection)
{
    QStringList texts;
    for (const QVariantList &row :
         rows(connection, u"SELECT HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK, DATUM FROM LOG ORDER "
                          u"BY SORSZAM"_s)) {
        QStringList fields;
        for (const QVariant &value : row)
            fields << value.toString();
        if (testsupport::serverEngine()) {
            // The server's NOW() is its own clock, shared by every workstation: a moment of
            // this run stands for the program's pinned clock.
            const QDateTime written
                = QDateTime::fromString(fields.last(), u"yyyy-MM-dd HH:mm:ss"_s);
            if (qAbs(written.secsTo(QDateTime::currentDateTime())) < 300)
                fields.last() = db::now().toString(u"yyyy-MM-dd HH:mm:ss"_s);
        }
        texts << fields.join(u' ');
    }
    return texts.join(u'|');
}
} // namespace

class TestMemberCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup() { db::setFixedNow({}); }
    void tajCheckDigitOfTypedNumber_data();
    void tajCheckDigitOfTypedNumber();
    void tajValidRange_data();
    void tajValidRange();
    void firstFailingCheckOnly_data();
    void firstFailingCheckOnly();
    void duplicateTajOnShownListOnly_data();
    void duplicateTajOnShownListOnly();
    void eventSaveWritesLogRows_data();
    void eventSaveWritesLogRows();
    void failedLogStillUpdates_data();
    void failedLogStillUpdates();
};

void TestMemberCheck::tajCheckDigitOfTypedNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("checkDigit");
    QTest::addColumn<bool>("valid");
    QTest::newRow("123-456-788") << "123456788"
                                 << "123456788" << 8 << true;
    QTest::newRow("123-456-789") << "123456789"
                                 << "123456789" << 8 << false;
    QTest::newRow("leading zero 012-345-678") << "012345678"
                                              << "012345678" << 8 << true;
    QTest::newRow("999-999-999") << "999999999"
                                 << "999999999" << 0 << false;
    QTest::newRow("nothing typed") << ""
                                   << "000000000" << 0 << false;
    // Typed zeros are digits like any other; untyped positions read as 0.
    QTest::newRow("zeros inside 100-200-300") << "100200300"
                                              << "100200300" << 6 << false;
    QTest::newRow("three digits typed") << "123"
                                        << "123000000" << 6 << false;
}

void TestMemberCheck::tajCheckDigitOfTypedNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, digits);
    QFETCH(int, checkDigit);
    QFETCH(bool, valid);
    lists::TajEdit edit(u"eTaj"_s);
    edit.show();
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.digits(), digits);
    QCOMPARE(edit.displayText().size(), 11);
    const quint32 value = edit.digits().toUInt();
    QCOMPARE(TfrmAdatok::TajCheckDigit(value / 10), checkDigit);
    QCOMPARE(TfrmAdatok::TajValid(value), valid);
}

void TestMemberCheck::tajValidRange_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("0") << 0u << false;
    QTest::newRow("1,000,000,000 (ten digits)") << 1000000000u << false;
    QTest::newRow("ten digits ending in their check digit") << 1234567888u << false;
    QTest::newRow("smallest valid: 000-000-017") << 17u << true;
    QTest::newRow("000-000-018") << 18u << false;
}

void TestMemberCheck::tajValidRange()
{
    QFETCH(quint32, value);
    QFETCH(bool, valid);
    QCOMPARE(TfrmAdatok::TajValid(value), valid);
}

void TestMemberCheck::firstFailingCheckOnly_data()
{
    QTest::addColumn<QString>("broken"); // the inputs broken, comma-separated
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("all pass") << ""
                              << ""
                              << "";
    QTest::newRow("empty TAJ before everything else") << "taj,listara,surgos,event,esemDatum"
                                                      << "A TAJ szám nem lehet üres!"
                                                      << "eTaj";
    QTest::newRow("listing date tomorrow") << "listara,surgos"
                                           << "A listára kerülés dátuma nem lehet jövőbeli"
                                           << "dtpListara";
    QTest::newRow("no urgency") << "surgos,event"
                                << "A sürgősségi fokot ki kell választani!"
                                << "rgSurgos";
    QTest::newRow("no event") << "event,esemDatum"
                              << "Az eseményt ki kell választani"
                              << "cbEsemenynev";
    QTest::newRow("event date tomorrow") << "esemDatum"
                                         << "Az esemény dátuma nem lehet jövőbeli"
                                         << "dtpEsemDatum";
}

void TestMemberCheck::firstFailingCheckOnly()
{
    QFETCH(QString, broken);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    lists::MemberInput input = goodInput();
    const QStringList parts = broken.split(u',', Qt::SkipEmptyParts);
    if (parts.contains(u"taj"_s))
        input.tajDigits = u"000000000"_s;
    if (parts.contains(u"listara"_s))
        input.listara = today.addDays(1);
    if (parts.contains(u"surgos"_s))
        input.surgos = -1;
    if (parts.contains(u"event"_s))
        input.eventText.clear();
    if (parts.contains(u"esemDatum"_s))
        input.esemDatum = today.addDays(1);
    const auto failure = lists::firstFailedCheck(input, nullptr, today);
    QCOMPARE(failure ? failure->message : QString(), message);
    QCOMPARE(failure ? failure->focus : QString(), focus);
}

void TestMemberCheck::duplicateTajOnShownListOnly_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("newEntry");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("on the shown list") << 2 << "VAR" << true << true;
    QTest::newRow("postponed, still on the list") << 2 << "HAL" << true << true;
    QTest::newRow("on another list") << 3 << "VAR" << true << false;
    QTest::newRow("taken off the shown list") << 2 << "BEA" << true << false;
    QTest::newRow("event mode does not look") << 2 << "VAR" << false << false;
}

void TestMemberCheck::duplicateTajOnShownListOnly()
{
    QFETCH(int, list);
    QFETCH(QString, event);
    QFETCH(bool, newEntry);
    QFETCH(bool, duplicate);
    Department dep;
    dep.entry(2, u"111111110"_s);
    dep.entry(2, u"222222220"_s);
    const qint64 patient = dep.entry(list, u"123456788"_s, QDate(2026, 3, 8), event);
    const auto members = openMembers(dep.state.connection(), 2);
    lists::MemberInput input = goodInput();
    input.newEntry = newEntry;
    const auto failure = lists::firstFailedCheck(input, members.get(), today);
    QCOMPARE(failure.has_value(), duplicate);
    if (duplicate) {
        QCOMPARE(failure->message, u"Ez a TAJ már rajta van a listán!"_s);
        QCOMPARE(failure->focus, u"eTaj"_s);
        // The member query's current row, and so the list manager's grid, moves to it.
        QCOMPARE(members->asInteger(u"HIV_SZAM"_s), patient);
    } else {
        QCOMPARE(members->currentRow(), 0);
    }
}

void TestMemberCheck::eventSaveWritesLogRows_data()
{
    QTest::addColumn<QString>("storedDate"); // as the file holds it
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QDate>("newDate");
    QTest::addColumn<QString>("log"); // "#" stands for the entry's reference number
    const QString stamp = u"2026-03-10 09:30:00"_s;
    QTest::newRow("event changed, same day") << "2026-03-10"
                                             << "BEA" << today << u"# ESEM_KOD VAR BEA "_s + stamp;
    QTest::newRow("day changed, same event")
        << "2006-03-07"
        << "VAR" << QDate(2006, 3, 9) << u"# ESEM_DATUM 3/7/2006 3/9/2006 "_s + stamp;
    QTest::newRow("both changed, code first")
        << "2026-01-12"
        << "HAL" << today
        << u"# ESEM_KOD VAR HAL "_s + stamp + u"|# ESEM_DATUM 1/12/2026 3/10/2026 "_s + stamp;
    QTest::newRow("neither") << "2026-03-10"
                             << "VAR" << today << "";
    QTest::newRow("stored time of day on the same day") << "2026-03-10 17:45:00"
                                                        << "VAR" << today << "";
}

void TestMemberCheck::eventSaveWritesLogRows()
{
    QFETCH(QString, storedDate);
    QFETCH(QString, newCode);
    QFETCH(QDate, newDate);
    QFETCH(QString, log);
    Department dep;
    db::Connection &connection = dep.state.connection();
    const qint64 hiv = dep.entry(1, u"123456788"_s, QDate(2026, 1, 5));
    db::Statement stored(connection, u"UPDATE LISTA SET ESEM_DATUM = :d WHERE HIV_SZAM = :h"_s);
    stored.bind(u":d"_s, storedDate);
    stored.bind(u":h"_s, hiv);
    stored.step();
    db::Dataset aqModosit;
    aqModosit.setConnection(&connection);

    const lists::SaveOutcome outcome
        = lists::saveEvent(aqModosit, QString::number(hiv), newCode, newDate);
    QVERIFY(!outcome.logFailed);
    QVERIFY(!outcome.error);
    QVERIFY(!connection.inTransaction());
    QCOMPARE(logRows(connection), log.replace(u'#', QString::number(hiv)));
    const QList<QVariantList> entry = rows(
        connection, u"SELECT ESEM_KOD, ESEM_DATUM FROM LISTA WHERE HIV_SZAM = %1"_s.arg(hiv));
    QCOMPARE(entry.value(0).value(0).toString(), newCode);
    QCOMPARE(entry.value(0).value(1).toString(), newDate.toString(Qt::ISODate));
}

void TestMemberCheck::failedLogStillUpdates_data()
{
    QTest::addColumn<QString>("refused"); // the MEZO the LOG table refuses; empty: every row
    QTest::addColumn<QString>("kept");    // the MEZO of the LOG rows that stay
    QTest::newRow("no LOG row can be written") << ""
                                               << "";
    QTest::newRow("the second row fails, the first stays") << "ESEM_DATUM"
                                                           << "ESEM_KOD";
}

void TestMemberCheck::failedLogStillUpdates()
{
    QFETCH(QString, refused);
    QFETCH(QString, kept);
    Department dep;
    db::Connection &connection = dep.state.connection();
    const qint64 hiv = dep.entry(1, u"123456788"_s, QDate(2026, 1, 5));
    testsupport::refuseWrites(connection, u"naplo_tele"_s, u"INSERT"_s, u"LOG"_s,
                              u"a napló nem írható"_s,
                              refused.isEmpty() ? QString() : u"NEW.MEZO = '%1'"_s.arg(refused));
    db::Dataset aqModosit;
    aqModosit.setConnection(&connection);
    const lists::SaveOutcome outcome
        = lists::saveEvent(aqModosit, QString::number(hiv), u"BEA"_s, today);
    QVERIFY(outcome.logFailed);
    QVERIFY(!outcome.error);
    QVERIFY(!connection.inTransaction());
    QStringList mezo;
    for (const QVariantList &row : rows(connection, u"SELECT MEZO FROM LOG"_s))
        mezo << row.value(0).toString();
    QCOMPARE(mezo.join(u','), kept);
    const QList<QVariantList> entry = rows(
        connection, u"SELECT ESEM_KOD, ESEM_DATUM FROM LISTA WHERE HIV_SZAM = %1"_s.arg(hiv));
    QCOMPARE(entry.value(0), (QVariantList{u"BEA"_s, u"2026-03-10"_s}));
}

QTEST_MAIN(TestMemberCheck)
#include "tst_membercheck.moc"
