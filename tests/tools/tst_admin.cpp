// The administration commands on lists, event kinds and the department, run in-process.
#include "adminfixture.h"

#include "admin/messages.h"

#include "db/connection.h"
#include "db/schema.h"
#include "rules/messages.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace testsupport;

namespace {

const QStringList tables
    = {QStringLiteral("OSZTALY"), QStringLiteral("BEAV_TIP"), QStringLiteral("ESEMENY"),
       QStringLiteral("LISTA"), QStringLiteral("LOG")};

// Each table's rows as "a|b|c" texts.
QMap<QString, QSet<QString>> snapshot(const TempProgramDir &dir)
{
    db::Connection connection;
    dir.connect(connection);
    QMap<QString, QSet<QString>> result;
    for (const QString &table : tables) {
        QSet<QString> texts;
        for (const QVariantList &row : rows(connection, QStringLiteral("SELECT * FROM ") + table)) {
            QStringList values;
            for (const QVariant &value : row)
                values << (value.isNull() ? QStringLiteral("NULL") : value.toString());
            texts.insert(values.join(u'|'));
        }
        result.insert(table, texts);
    }
    return result;
}

QStringList sorted(const QSet<QString> &set)
{
    QStringList list(set.cbegin(), set.cend());
    list.sort();
    return list;
}

} // namespace

class TestAdmin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodInputChangesExactlyThat_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("added");

        const auto row = [](const char *name, const QStringList &args, const char *table,
                            const QStringList &removed, const QStringList &added) {
            QTest::newRow(name) << args << QString::fromLatin1(table) << removed << added;
        };
        row("new admission list", {u"lista-uj"_qs, u"21"_qs, u"Új lista"_qs, u"B"_qs}, "BEAV_TIP",
            {}, {u"21|Új lista|B"_qs});
        row("new list by word, apostrophe kept",
            {u"lista-uj"_qs, u"22"_qs, u"O'Brien-féle műtét"_qs, u"varolista"_qs}, "BEAV_TIP", {},
            {u"22|O'Brien-féle műtét|V"_qs});
        row("rename list", {u"lista-atnevez"_qs, u"3"_qs, u"Hályogműtét"_qs}, "BEAV_TIP",
            {u"3|Szürkehályog-műtét|V"_qs}, {u"3|Hályogműtét|V"_qs});
        row("list kind", {u"lista-fajta"_qs, u"3"_qs, u"b"_qs}, "BEAV_TIP",
            {u"3|Szürkehályog-műtét|V"_qs}, {u"3|Szürkehályog-műtét|B"_qs});
        row("remove empty list", {u"lista-torol"_qs, u"4"_qs}, "BEAV_TIP",
            {u"4|Epehólyag-eltávolítás|V"_qs}, {});
        row("new event", {u"esemeny-uj"_qs, u"UJE"_qs, u"Új esemény"_qs, u"nem"_qs}, "ESEMENY", {},
            {u"UJE|Új esemény|N"_qs});
        row("rename event", {u"esemeny-atnevez"_qs, u"HAL"_qs, u"Halasztva"_qs}, "ESEMENY",
            {u"HAL|Halasztva a beteg kérésére|I"_qs}, {u"HAL|Halasztva|I"_qs});
        row("remove unused event", {u"esemeny-torol"_qs, u"NJE"_qs}, "ESEMENY",
            {u"NJE|Nem jelent meg|N"_qs}, {});
        row("department codes and name",
            {u"osztaly-modosit"_qs, u"--intezet"_qs, u"4321"_qs, u"--nev"_qs, u"Sebészet"_qs},
            "OSZTALY", {u"1234|123456789|F|Szemészet|titok"_qs},
            {u"4321|123456789|F|Sebészet|titok"_qs});
        row("department becomes outpatient", {u"osztaly-modosit"_qs, u"--tipus"_qs, u"jaro"_qs},
            "OSZTALY", {u"1234|123456789|F|Szemészet|titok"_qs},
            {u"1234|123456789|J|Szemészet|titok"_qs});
        row("financing code", {u"osztaly-modosit"_qs, u"--finkod"_qs, u"987654321"_qs}, "OSZTALY",
            {u"1234|123456789|F|Szemészet|titok"_qs}, {u"1234|987654321|F|Szemészet|titok"_qs});
    }

    void goodInputChangesExactlyThat()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, table);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, added);

        AdminFixture fixture;
        const auto before = snapshot(fixture.dir);
        QCOMPARE(fixture.run(arguments), 0);
        QVERIFY2(fixture.err.isEmpty(), qPrintable(fixture.err));
        QVERIFY(!fixture.out.isEmpty());
        const auto after = snapshot(fixture.dir);
        for (const QString &other : tables) {
            if (other != table)
                QCOMPARE(sorted(after.value(other)), sorted(before.value(other)));
        }
        QCOMPARE(sorted(before.value(table) - after.value(table)), removed);
        QCOMPARE(sorted(after.value(table) - before.value(table)), added);
    }

    void refusalChangesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        const auto row
            = [](const char *name, const QStringList &args, int exitCode, const QString &message) {
                  QTest::newRow(name) << args << exitCode << message;
              };
        row("list code taken", {u"lista-uj"_qs, u"3"_qs, u"X"_qs, u"V"_qs}, 1,
            u"Már van 3 kódú lista: „Szürkehályog-műtét”."_qs);
        row("list name taken", {u"lista-uj"_qs, u"21"_qs, u"Szürkehályog-műtét"_qs, u"V"_qs}, 1,
            u"Már van „Szürkehályog-műtét” nevű lista (kódja 3)"_qs);
        row("J only for list 0", {u"lista-uj"_qs, u"21"_qs, u"X"_qs, u"J"_qs}, 1,
            u"J fajtájú csak a 0-s kódú lista lehet"_qs);
        row("list 0 stays J", {u"lista-fajta"_qs, u"0"_qs, u"V"_qs}, 1,
            u"A 0-s kódú lista a járóbeteg-osztály egyetlen listája"_qs);
        row("code not a number", {u"lista-uj"_qs, u"3a"_qs, u"X"_qs, u"V"_qs}, 1,
            u"A lista kódja egész szám legyen, nem „3a”."_qs);
        row("negative code", {u"lista-uj"_qs, u"-1"_qs, u"X"_qs, u"V"_qs}, 1,
            u"A lista kódja nem lehet negatív"_qs);
        row("blank list name", {u"lista-uj"_qs, u"21"_qs, u"  "_qs, u"V"_qs}, 1,
            u"A lista neve nem lehet üres."_qs);
        row("list name too long", {u"lista-uj"_qs, u"21"_qs, QString(51, u'x'), u"V"_qs}, 1,
            u"A lista neve legfeljebb 50 karakter lehet, ez 51"_qs);
        row("unknown kind", {u"lista-uj"_qs, u"21"_qs, u"X"_qs, u"Q"_qs}, 1,
            u"Ismeretlen listafajta: „Q”."_qs);
        row("rename missing list", {u"lista-atnevez"_qs, u"99"_qs, u"X"_qs}, 1,
            u"Nincs 99 kódú lista."_qs);
        // A code past 32 bits is its own list, never the one it would wrap onto (2): the file
        // has no such list, and the server's column refuses the code outright.
        const QString noWideList = serverEngine() ? u"value \"4294967298\" is out of range"_qs
                                                  : u"Nincs 4294967298 kódú lista."_qs;
        row("rename list past 32 bits", {u"lista-atnevez"_qs, u"4294967298"_qs, u"X"_qs}, 1,
            noWideList);
        row("kind of list past 32 bits", {u"lista-fajta"_qs, u"4294967298"_qs, u"B"_qs}, 1,
            noWideList);
        row("remove list past 32 bits", {u"lista-torol"_qs, u"4294967298"_qs}, 1, noWideList);
        row("rename onto another's name",
            {u"lista-atnevez"_qs, u"3"_qs, u"Térdprotézis beültetése"_qs}, 1,
            u"Már van „Térdprotézis beültetése” nevű lista (kódja 2)"_qs);
        row("remove list with entries", {u"lista-torol"_qs, u"3"_qs}, 1,
            u"A(z) 3 kódú „Szürkehályog-műtét” lista nem törölhető: 3 bejegyzés tartozik hozzá "
            "(ebből 2 van most a listán)."_qs);
        row("event code taken", {u"esemeny-uj"_qs, u"VAR"_qs, u"X"_qs, u"igen"_qs}, 1,
            u"Már van „VAR” kódú esemény: „Várakozás”."_qs);
        row("event name taken", {u"esemeny-uj"_qs, u"UJE"_qs, u"Elhunyt"_qs, u"nem"_qs}, 1,
            u"Már van „Elhunyt” nevű esemény (kódja „ELH”)"_qs);
        row("event code too long", {u"esemeny-uj"_qs, u"ABCD"_qs, u"X"_qs, u"igen"_qs}, 1,
            u"Az esemény kódja legfeljebb 3 karakter lehet"_qs);
        row("on list neither yes nor no", {u"esemeny-uj"_qs, u"UJE"_qs, u"X"_qs, u"talán"_qs}, 1,
            u"„igen” vagy „nem” legyen, nem „talán”"_qs);
        row("waiting renamed", {u"esemeny-atnevez"_qs, u"VAR"_qs, u"Vár"_qs}, 1,
            u"A „Várakozás” eseményt minden új bejegyzés megkapja, nem nevezhető át."_qs);
        row("off-list event named waiting", {u"esemeny-atnevez"_qs, u"BEA"_qs, u"Várakozás"_qs}, 1,
            u"A „Várakozás” esemény mindig a listán tartja a bejegyzést"_qs);
        row("rename onto another's event name", {u"esemeny-atnevez"_qs, u"HAL"_qs, u"Elhunyt"_qs},
            1, u"Már van „Elhunyt” nevű esemény"_qs);
        row("waiting removed", {u"esemeny-torol"_qs, u"VAR"_qs}, 1,
            u"A „Várakozás” eseményt minden új bejegyzés megkapja, nem törölhető."_qs);
        row("event in use removed", {u"esemeny-torol"_qs, u"BEA"_qs}, 1,
            u"A(z) „BEA” („Beavatkozás megtörtént”) esemény nem törölhető: 1 bejegyzés "
            "legutóbbi eseménye."_qs);
        row("missing event removed", {u"esemeny-torol"_qs, u"XYZ"_qs}, 1,
            u"Nincs „XYZ” kódú esemény."_qs);
        row("empty institute code", {u"osztaly-modosit"_qs, u"--intezet"_qs, QString()}, 1,
            rules::message::intkodEmpty.toString());
        row("empty financing code", {u"osztaly-modosit"_qs, u"--finkod"_qs, QString()}, 1,
            rules::message::finkodEmpty.toString());
        row("financing code the report refuses",
            {u"osztaly-modosit"_qs, u"--finkod"_qs, u"12/45"_qs}, 1,
            u"olyan jel áll („/”), amely állománynévben nem szerepelhet"_qs);
        row("financing code too long", {u"osztaly-modosit"_qs, u"--finkod"_qs, u"1234567890"_qs}, 1,
            u"A finanszírozási kód legfeljebb 9 karakter lehet"_qs);
        row("unknown department type", {u"osztaly-modosit"_qs, u"--tipus"_qs, u"kozepes"_qs}, 1,
            u"Ismeretlen osztálytípus: „kozepes”."_qs);
        row("option without value", {u"osztaly-modosit"_qs, u"--nev"_qs}, 2,
            admin::message::badArguments.arg(u"osztaly-modosit"));
        row("unknown option", {u"osztaly-modosit"_qs, u"--szin"_qs, u"kek"_qs}, 2,
            u"Ismeretlen kapcsoló: „--szin”."_qs);
        row("unknown command", {u"torol-mindent"_qs}, 2,
            admin::message::unknownCommand.arg(u"torol-mindent"));
        row("missing argument", {u"lista-uj"_qs, u"21"_qs}, 2,
            admin::message::badArguments.arg(u"lista-uj"));
        row("no command", {}, 2, admin::message::noCommand.toString());
    }

    void refusalChangesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);

        AdminFixture fixture;
        const auto before = snapshot(fixture.dir);
        QCOMPARE(fixture.run(arguments), exitCode);
        QVERIFY2(fixture.err.contains(message), qPrintable(fixture.err));
        QVERIFY(fixture.out.isEmpty());
        QCOMPARE(snapshot(fixture.dir), before);
    }

    void outpatientNeedsListZero()
    {
        AdminFixture fixture;
        QCOMPARE(fixture.run({u"osztaly-modosit"_qs, u"--tipus"_qs, u"jaro"_qs}), 0);
        const auto before = snapshot(fixture.dir);
        QCOMPARE(fixture.run({u"lista-torol"_qs, u"0"_qs}), 1);
        QVERIFY2(fixture.err.contains(u"amíg az osztály járóbeteg-osztály, nem törölhető"_qs),
                 qPrintable(fixture.err));
        QCOMPARE(snapshot(fixture.dir), before);

        QCOMPARE(fixture.run({u"osztaly-modosit"_qs, u"--tipus"_qs, u"fekvo"_qs}), 0);
        QCOMPARE(fixture.run({u"lista-torol"_qs, u"0"_qs}), 0);
        const auto withoutZero = snapshot(fixture.dir);
        QCOMPARE(fixture.run({u"osztaly-modosit"_qs, u"--tipus"_qs, u"jaro"_qs}), 1);
        QVERIFY2(fixture.err.contains(u"Járóbeteg-osztálynak kell a 0-s kódú lista"_qs),
                 qPrintable(fixture.err));
        QCOMPARE(snapshot(fixture.dir), withoutZero);
    }

    void passwordTypedTwiceNeverShown_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("refusal"); // empty: accepted

        QTest::newRow("accepted") << QStringList{u"új1"_qs, u"új1"_qs} << QString();
        QTest::newRow("two characters") << QStringList{u"ab"_qs, u"ab"_qs} << QString();
        QTest::newRow("mismatch") << QStringList{u"abcd"_qs, u"abce"_qs}
                                  << rules::message::passwordMismatch.toString();
        QTest::newRow("case counts")
            << QStringList{u"abcd"_qs, u"ABCD"_qs} << rules::message::passwordMismatch.toString();
        QTest::newRow("one character")
            << QStringList{u"Q"_qs, u"Q"_qs} << rules::message::passwordTooShort.toString();
        QTest::newRow("nine characters") << QStringList{u"123456789"_qs, u"123456789"_qs}
                                         << u"A Jelszó legfeljebb 8 karakter lehet."_qs;
        QTest::newRow("input ends")
            << QStringList{u"abcd"_qs} << u"A jelszót kétszer kell beírni"_qs;
    }

    void passwordTypedTwiceNeverShown()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, refusal);

        AdminFixture fixture;
        fixture.passwords.answers = answers;
        const auto before = snapshot(fixture.dir);
        const int status = fixture.run({u"jelszo"_qs});
        QVERIFY(!fixture.out.contains(answers.first()));
        QVERIFY(!fixture.err.contains(answers.first()));
        db::Connection connection;
        fixture.dir.connect(connection);
        const QString stored
            = connection.scalar(QStringLiteral("SELECT JELSZO FROM OSZTALY")).toString();
        if (refusal.isEmpty()) {
            QCOMPARE(status, 0);
            QCOMPARE(stored, answers.first());
            QCOMPARE(fixture.passwords.prompts.size(), 2);
        } else {
            QCOMPARE(status, 1);
            QVERIFY2(fixture.err.contains(refusal), qPrintable(fixture.err));
            connection.close();
            QCOMPARE(snapshot(fixture.dir), before);
        }
    }

    void unregisteredDepartmentIsSaidPlainly()
    {
        AdminFixture fixture;
        {
            // No department row yet.
            db::Connection connection;
            fixture.dir.connect(connection);
            connection.execute(u"DELETE FROM OSZTALY"_qs);
        }
        QCOMPARE(fixture.run({u"osztaly"_qs}), 0);
        QVERIFY(fixture.out.contains(admin::message::notRegistered));
        fixture.passwords.answers = {u"abcd"_qs, u"abcd"_qs};
        QCOMPARE(fixture.run({u"jelszo"_qs}), 1);
        QVERIFY(fixture.err.contains(admin::message::notRegistered));
        QCOMPARE(fixture.run({u"osztaly-modosit"_qs, u"--nev"_qs, u"X"_qs}), 1);
        QVERIFY(fixture.err.contains(admin::message::notRegistered));
    }

    void listingsShowKindsAndCounts()
    {
        AdminFixture fixture;
        QCOMPARE(fixture.run({u"listak"_qs}), 0);
        QVERIFY2(fixture.out.contains(u"    3  várólista                  2       3  "
                                      "Szürkehályog-műtét\n"_qs),
                 qPrintable(fixture.out));
        QVERIFY(fixture.out.contains(u"   11  betegfogadási lista        0       0"_qs));
        QVERIFY(fixture.out.contains(u"    0  járóbeteg-lista"_qs));
        QCOMPARE(fixture.run({u"esemenyek"_qs}), 0);
        QVERIFY2(fixture.out.contains(u"VAR  igen            2  Várakozás\n"_qs),
                 qPrintable(fixture.out));
        QVERIFY(fixture.out.contains(u"BEA  nem             1  Beavatkozás megtörtént\n"_qs));
        QCOMPARE(fixture.run({u"osztaly"_qs}), 0);
        QVERIFY(fixture.out.contains(u"123456789"_qs));
        QVERIFY(fixture.out.contains(u"fekvőbeteg-osztály"_qs));
        QVERIFY(!fixture.out.contains(u"titok"_qs));
    }

    void upgradeBringsAnOlderDatabaseUpWithEveryRow()
    {
        AdminFixture fixture;
        fixture.replaceWithOlderDatabase();
        QCOMPARE(fixture.run({u"listak"_qs}), 1);
        QVERIFY2(fixture.err.contains(u"régebbi változatú"_qs), qPrintable(fixture.err));
        QCOMPARE(fixture.run({u"frissites"_qs}), 0);
        QVERIFY2(fixture.out.contains(
                     u"változatról a(z) %1. változatra"_qs.arg(db::schema::currentVersion)),
                 qPrintable(fixture.out));
        QCOMPARE(fixture.run({u"frissites"_qs}), 0);
        QVERIFY2(fixture.out.contains(u"már a program változatú"_qs), qPrintable(fixture.out));
        QCOMPARE(fixture.run({u"esemenyek"_qs}), 0);
        QVERIFY(fixture.out.contains(u"VAR  igen            1  Várakozás\n"_qs));
        db::Connection upgraded;
        fixture.dir.connect(upgraded);
        QCOMPARE(rows(upgraded, u"SELECT NEV FROM LISTA"_qs),
                 QList<QVariantList>{{u"Régi Ödön"_qs}});
        QCOMPARE(rows(upgraded, u"SELECT REGI_ERTEK, UJ_ERTEK FROM LOG"_qs),
                 (QList<QVariantList>{{u"VAR"_qs, u"HAL"_qs}}));
    }

    void checkSaysWhatItCheckedAndWhatItFound()
    {
        AdminFixture fixture;
        QCOMPARE(fixture.run({u"ellenorzes"_qs}), 0);
        QVERIFY2(fixture.out.startsWith(u"Az adatbázis ép:"_qs), qPrintable(fixture.out));
        for (const QString &said : {u"minden naplósor egy meglévő bejegyzéshez tartozik"_qs,
                                    u"táblája, oszlopa és lekérdezése"_qs, u"LISTA: 3"_qs})
            QVERIFY2(fixture.out.contains(said), qPrintable(fixture.out));

        db::Connection connection;
        fixture.dir.connect(connection);
        // A log row whose entry is gone, an entry whose event is gone, one whose list is.
        connection.execute(u"INSERT INTO LOG (DATUM, HIV_SZAM, MEZO) VALUES ('2006-03-07 "
                           u"10:00:00', 999, 'ESEM_KOD')"_qs);
        connection.execute(u"UPDATE LISTA SET ESEM_KOD = 'XYZ' WHERE TAJ = '111111110'"_qs);
        connection.execute(u"UPDATE LISTA SET BEAVTIP_KOD = 77 WHERE TAJ = '222222220'"_qs);
        QCOMPARE(fixture.run({u"ellenorzes"_qs}), 1);
        QVERIFY2(fixture.err.startsWith(u"Az adatbázis HIBÁS:"_qs), qPrintable(fixture.err));
        for (const QString &found :
             {u"1 naplósor olyan bejegyzéshez tartozik"_qs, u"1 bejegyzés eseménye nincs meg"_qs,
              u"1 bejegyzés listája nincs meg"_qs})
            QVERIFY2(fixture.err.contains(found), qPrintable(fixture.err));

        connection.execute(u"DROP VIEW QJELENTES"_qs);
        QCOMPARE(fixture.run({u"ellenorzes"_qs}), 1);
        QVERIFY2(fixture.err.contains(u"hiányzik a(z) QJELENTES lekérdezés"_qs),
                 qPrintable(fixture.err));
    }

    // The declaration is what --help shows and what the command line is held to: each command
    // is shown with its arguments, runs by one handler, and refuses an argument too many or
    // too few before it touches anything.
    void everyCommandIsShownAndHeldToItsDeclaration()
    {
        AdminFixture fixture;
        QCOMPARE(fixture.run({u"--help"_qs}), 0);
        QVERIFY(fixture.out.startsWith(u"Használat: vazuvede-admin"_qs));
        const QString help = fixture.out;
        const auto before = snapshot(fixture.dir);
        QSet<QString> names;
        for (const admin::AdminCommand::Declaration &command : admin::AdminCommand::commands()) {
            const QString name = command.name();
            const QByteArray said = name.toUtf8();
            QVERIFY2(!names.contains(name), said);
            names.insert(name);
            QVERIFY2((command.onFolder == nullptr) != (command.onDatabase == nullptr), said);
            const QString shown = u"\n  "_qs + QString::fromUtf16(command.usage);
            QVERIFY2(help.contains(shown + u' ') || help.contains(shown + u'\n'), said);

            QStringList tooMany{name};
            for (int i = 0; i <= command.most; ++i)
                tooMany << u"1"_qs;
            QCOMPARE(fixture.run(tooMany), int(admin::AdminCommand::Usage));
            QVERIFY2(fixture.err.startsWith(admin::message::badArguments.arg(name)), said);
            if (command.least > 0) {
                QCOMPARE(fixture.run(tooMany.mid(0, command.least)),
                         int(admin::AdminCommand::Usage));
                QVERIFY2(fixture.err.startsWith(admin::message::badArguments.arg(name)), said);
            }
        }
        QCOMPARE(snapshot(fixture.dir), before);
    }
};

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
