// The rules of the windows apart from any window: the TAJ number, the member dialog's checks
// and fills, the department's registration and the login.
#include "rules/department.h"
#include "rules/member.h"
#include "rules/messages.h"
#include "rules/taj.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

// Everything that passes, for one check at a time to break.
rules::MemberInput goodInput()
{
    rules::MemberInput input;
    input.newEntry = true;
    input.tajDigits = u"123456788"_s;
    input.listara = today;
    input.surgos = 1;
    input.eventText = u"Várakozás"_s;
    input.esemDatum = today;
    return input;
}
} // namespace

Q_DECLARE_METATYPE(rules::DepartmentInput)

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tajCheckDigit_data();
    void tajCheckDigit();
    void firstFailingCheckOnly_data();
    void firstFailingCheckOnly();
    void fillForEachMode();
    void urgencyLetters_data();
    void urgencyLetters();
    void registrationChecksInOrder_data();
    void registrationChecksInOrder();
    void loginAnswer_data();
    void loginAnswer();
};

void TestRules::tajCheckDigit_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("checkDigit"); // of the first eight of nine digits
    QTest::addColumn<bool>("valid");
    QTest::newRow("123-456-788") << 123456788u << 8 << true;
    QTest::newRow("123-456-789") << 123456789u << 8 << false;
    QTest::newRow("leading zero 012-345-678") << 12345678u << 8 << true;
    QTest::newRow("999-999-999") << 999999999u << 0 << false;
    QTest::newRow("zeros inside 100-200-300") << 100200300u << 6 << false;
    QTest::newRow("smallest valid: 000-000-017") << 17u << 7 << true;
    QTest::newRow("000-000-018") << 18u << 7 << false;
    QTest::newRow("nothing typed: 0") << 0u << 0 << false;
    QTest::newRow("ten digits ending in their check digit") << 1234567888u << 8 << false;
}

void TestRules::tajCheckDigit()
{
    QFETCH(quint32, value);
    QFETCH(int, checkDigit);
    QFETCH(bool, valid);
    if (value < 1000000000u)
        QCOMPARE(rules::tajCheckDigit(value / 10), checkDigit);
    QCOMPARE(rules::tajValid(value), valid);
}

void TestRules::firstFailingCheckOnly_data()
{
    QTest::addColumn<QString>("broken"); // the inputs broken, comma-separated
    QTest::addColumn<bool>("newEntry");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("lookedUp"); // whether the shown list was asked for the TAJ
    QTest::newRow("all pass") << "" << true << QString() << "" << true;
    QTest::newRow("empty TAJ before everything else, not looked up")
        << "taj,onList,listara,surgos,event,esemDatum" << true
        << rules::message::tajEmpty.toString() << "eTaj" << false;
    QTest::newRow("TAJ on the shown list")
        << "onList,listara" << true << rules::message::tajOnList.toString() << "eTaj" << true;
    QTest::newRow("event mode does not look") << "onList" << false << QString() << "" << false;
    QTest::newRow("listing date tomorrow")
        << "listara,surgos" << true << rules::message::listaraInFuture.toString() << "dtpListara"
        << true;
    QTest::newRow("no urgency") << "surgos,event" << false
                                << rules::message::urgencyNotChosen.toString() << "rgSurgos"
                                << false;
    QTest::newRow("no event") << "event,esemDatum" << true
                              << rules::message::eventNotChosen.toString() << "cbEsemenynev"
                              << true;
    QTest::newRow("event date tomorrow")
        << "esemDatum" << true << rules::message::eventDateInFuture.toString() << "dtpEsemDatum"
        << true;
}

void TestRules::firstFailingCheckOnly()
{
    QFETCH(QString, broken);
    QFETCH(bool, newEntry);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(bool, lookedUp);
    rules::MemberInput input = goodInput();
    input.newEntry = newEntry;
    const QStringList parts = broken.split(u',', Qt::SkipEmptyParts);
    if (parts.contains(u"taj"_s))
        input.tajDigits = rules::noTaj();
    if (parts.contains(u"listara"_s))
        input.listara = today.addDays(1);
    if (parts.contains(u"surgos"_s))
        input.surgos = -1;
    if (parts.contains(u"event"_s))
        input.eventText.clear();
    if (parts.contains(u"esemDatum"_s))
        input.esemDatum = today.addDays(1);
    QStringList asked;
    const auto failure = rules::firstFailedCheck(input, today, [&](const QString &taj) {
        asked << taj;
        return parts.contains(u"onList"_s);
    });
    QCOMPARE(failure ? failure->message : QString(), message);
    QCOMPARE(failure ? failure->focus : QString(), focus);
    QCOMPARE(asked, lookedUp ? QStringList{input.tajDigits} : QStringList());
}

void TestRules::fillForEachMode()
{
    const rules::MemberFill fresh = rules::newEntryFill(today);
    QVERIFY(fresh.newEntry);
    QVERIFY(fresh.hivSzam.isEmpty() && fresh.taj.isEmpty() && fresh.nev.isEmpty());
    QCOMPARE(fresh.listara, today);
    QCOMPARE(fresh.esemDatum, today);
    QCOMPARE(fresh.surgos, -1);
    QCOMPARE(fresh.eventName, u"Várakozás"_s);
    QVERIFY(!fresh.shown);

    const rules::ShownEntry shown{42,     u"012345678"_s, u"Őri Ágnes"_s,    QDate(2025, 12, 1),
                                  u"A"_s, u"HAL"_s,       QDate(2026, 1, 15)};
    const rules::MemberFill event = rules::eventFill(shown, today);
    QVERIFY(!event.newEntry);
    QCOMPARE(event.hivSzam, u"42"_s);
    QCOMPARE(event.taj, shown.taj);
    QCOMPARE(event.nev, shown.nev);
    QCOMPARE(event.listara, shown.listara);
    QCOMPARE(event.surgos, 0);
    // The person chooses the new event; its day starts at today, not at the stored one.
    QVERIFY(event.eventName.isEmpty());
    QCOMPARE(event.esemDatum, today);
    QVERIFY(event.shown);
    QCOMPARE(event.shown->esemKod, shown.esemKod);
    QCOMPARE(event.shown->esemDatum, shown.esemDatum);
}

void TestRules::urgencyLetters_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("written"); // what saving that item stores
    QTest::newRow("A: acute") << "A" << 0 << "A";
    QTest::newRow("H: deferrable") << "H" << 1 << "H";
    QTest::newRow("lower-case a is not acute") << "a" << 1 << "H";
    QTest::newRow("A with a blank is not acute") << "A " << 1 << "H";
    QTest::newRow("empty") << "" << 1 << "H";
}

void TestRules::urgencyLetters()
{
    QFETCH(QString, stored);
    QFETCH(int, item);
    QFETCH(QString, written);
    QCOMPARE(rules::urgencyItem(stored), item);
    QCOMPARE(rules::urgencyLetter(item), written);
}

void TestRules::registrationChecksInOrder_data()
{
    QTest::addColumn<rules::DepartmentInput>("input");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("field");
    const rules::DepartmentInput good{u"1234"_s, u"123456789"_s, u"Sebészet"_s,
                                      1,         u"ti"_s,        u"ti"_s};
    auto broken = [&good](auto change) {
        rules::DepartmentInput input = good;
        change(input);
        return input;
    };
    using Field = rules::DepartmentField;
    QTest::newRow("accepted; the name may be empty")
        << broken([](auto &i) { i.name.clear(); }) << QString() << -1;
    QTest::newRow("no institute code before everything else")
        << rules::DepartmentInput{} << rules::message::intkodEmpty.toString() << int(Field::Intkod);
    QTest::newRow("no financing code")
        << broken([](auto &i) { i.finkod.clear(), i.typeIndex = -1; })
        << rules::message::finkodEmpty.toString() << int(Field::Finkod);
    QTest::newRow("no type") << broken([](auto &i) { i.typeIndex = -1, i.password.clear(); })
                             << rules::message::typeNotChosen.toString() << int(Field::Type);
    QTest::newRow("one-letter password")
        << broken([](auto &i) { i.password = u"t"_s, i.passwordAgain = u"x"_s; })
        << rules::message::passwordTooShort.toString() << int(Field::Password);
    QTest::newRow("confirmation differs in case")
        << broken([](auto &i) { i.passwordAgain = u"Ti"_s; })
        << rules::message::passwordMismatch.toString() << int(Field::Password);
}

void TestRules::registrationChecksInOrder()
{
    QFETCH(rules::DepartmentInput, input);
    QFETCH(QString, message);
    QFETCH(int, field);
    const auto problem = rules::registrationProblem(input);
    QCOMPARE(problem ? problem->message : QString(), message);
    QCOMPARE(problem ? int(problem->field) : -1, field);
    // A correction of the department's data asks the same checks of the data alone.
    const auto dataProblem = rules::departmentDataProblem(input);
    if (!problem || problem->field == rules::DepartmentField::Password)
        QVERIFY(!dataProblem);
    else
        QCOMPARE(dataProblem->message, message);
}

void TestRules::loginAnswer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("the stored one") << "titok"
                                    << "titok" << QString();
    QTest::newRow("nothing typed") << ""
                                   << "titok" << rules::message::passwordEmpty.toString();
    QTest::newRow("letter case counts") << "Titok"
                                        << "titok" << rules::message::passwordWrong.toString();
    QTest::newRow("blanks count") << "titok "
                                  << "titok" << rules::message::passwordWrong.toString();
    QTest::newRow("an empty stored password lets nobody in")
        << "x"
        << "" << rules::message::passwordWrong.toString();
}

void TestRules::loginAnswer()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, refusal);
    QCOMPARE(rules::loginRefusal(typed, stored).value_or(QString()), refusal);
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
