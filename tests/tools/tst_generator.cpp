#include "support/tempdatabase.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/schema.h"
#include "db/sqltext.h"
#include "tools/generator.h"

#include <QSet>
#include <QTest>

#include <memory>

using testsupport::rows;
using testsupport::TempProgramDir;

namespace {

// Worked out here digit by digit, not with the generator's own function.
bool tajValid(const QString &taj)
{
    if (taj.size() != 9)
        return false;
    int sum = 0;
    for (int i = 0; i < 8; ++i) {
        if (!taj.at(i).isDigit())
            return false;
        sum += taj.at(i).digitValue() * (i % 2 == 0 ? 3 : 7);
    }
    return taj.at(8).isDigit() && taj.at(8).digitValue() == sum % 10;
}

const QDate today(2020, 6, 15);

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    db::Connection m_connection;

    qint64 count(const QString &sql) { return m_connection.scalar(sql).toLongLong(); }

private Q_SLOTS:
    void init()
    {
        db::setFixedNow(QDateTime(today, QTime(12, 0)));
        m_dir = std::make_unique<TempProgramDir>(db::schema::Contents::WithSampleLists);
        m_connection.open(m_dir->databasePath());
    }
    void cleanup()
    {
        m_connection.close();
        m_dir.reset();
        db::setFixedNow({});
    }

    void entriesLookReal()
    {
        tools::GeneratorOptions options;
        options.seed = 5;
        tools::generate(m_connection, 600, options);

        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM LISTA")), 600);
        QSet<qint64> lists;
        int waiting = 0;
        for (const QVariantList &row :
             rows(m_connection,
                  QStringLiteral("SELECT TAJ, NEV, BEAVTIP_KOD, LISTARA_DATUM, INS_DATE, "
                                 "ESEM_DATUM, ESEM_KOD, SURGOSSEG FROM LISTA"))) {
            QVERIFY2(tajValid(row.at(0).toString()), qPrintable(row.at(0).toString()));
            QVERIFY(!row.at(1).toString().isEmpty() && row.at(1).toString().size() <= 50);
            lists.insert(row.at(2).toLongLong());
            const QDate listara = QDate::fromString(row.at(3).toString(), Qt::ISODate);
            const QDate created = QDate::fromString(row.at(4).toString(), Qt::ISODate);
            const QDate event = QDate::fromString(row.at(5).toString(), Qt::ISODate);
            QVERIFY(listara >= today.addYears(-5) && listara <= created && created <= event
                    && event <= today);
            if (row.at(6) == QStringLiteral("VAR") || row.at(6) == QStringLiteral("HAL"))
                ++waiting;
            QVERIFY(row.at(7) == QStringLiteral("A") || row.at(7) == QStringLiteral("H"));
        }
        // Every waiting and patient-admission list, never the outpatient list 0.
        QCOMPARE(lists, (QSet<qint64>{1, 2, 3, 4, 5, 11, 12, 13}));
        QVERIFY(waiting > 300 && waiting < 600);
        QCOMPARE(count(QStringLiteral("SELECT count(DISTINCT NEV) FROM LISTA")) > 300, true);
        QCOMPARE(count(QStringLiteral(
                     "SELECT count(*) FROM LISTA WHERE HIV_SZAM > 1 AND INS_DATE < "
                     "(SELECT L.INS_DATE FROM LISTA L WHERE L.HIV_SZAM = LISTA.HIV_SZAM - 1)")),
                 0);

        QCOMPARE(
            rows(m_connection,
                 QStringLiteral("SELECT JAROFEKVO, length(INTKOD), length(FINKOD) FROM OSZTALY")),
            (QList<QVariantList>{{QStringLiteral("F"), qint64(4), qint64(9)}}));
    }

    void everyChangedEventIsLogged()
    {
        tools::GeneratorOptions options;
        options.seed = 9;
        tools::generate(m_connection, 400, options);
        int changed = 0;
        for (const QVariantList &entry :
             rows(m_connection,
                  QStringLiteral("SELECT HIV_SZAM, ESEM_KOD, INS_DATE, ESEM_DATUM FROM LISTA"))) {
            const QString id = entry.at(0).toString();
            const QList<QVariantList> log = rows(
                m_connection, QStringLiteral("SELECT MEZO, REGI_ERTEK, UJ_ERTEK, substr(DATUM, 1, "
                                             "10) >= '%1' FROM LOG WHERE HIV_SZAM = %2 "
                                             "ORDER BY SORSZAM")
                                  .arg(entry.at(3).toString(), id));
            if (entry.at(1) == QStringLiteral("VAR")) {
                QVERIFY(log.isEmpty());
                continue;
            }
            ++changed;
            const QDate created = QDate::fromString(entry.at(2).toString(), Qt::ISODate);
            const QDate event = QDate::fromString(entry.at(3).toString(), Qt::ISODate);
            QList<QVariantList> expected{
                {QStringLiteral("ESEM_KOD"), QStringLiteral("VAR"), entry.at(1), qint64(1)}};
            if (event != created)
                expected << QVariantList{QStringLiteral("ESEM_DATUM"), db::sqlDateText(created),
                                         db::sqlDateText(event), qint64(1)};
            QCOMPARE(log, expected);
        }
        QVERIFY(changed > 0);
        QCOMPARE(
            count(QStringLiteral(
                "SELECT count(*) FROM LOG WHERE HIV_SZAM NOT IN (SELECT HIV_SZAM FROM LISTA)")),
            0);
    }

    void theSameSeedGivesTheSameRows()
    {
        const auto generated = [](quint32 seed) {
            TempProgramDir dir;
            db::Connection connection;
            connection.open(dir.databasePath());
            tools::GeneratorOptions options;
            options.seed = seed;
            tools::generate(connection, 50, options);
            return rows(connection, QStringLiteral("SELECT * FROM LISTA"))
                   + rows(connection, QStringLiteral("SELECT * FROM LOG"));
        };
        const QList<QVariantList> first = generated(3);
        QCOMPARE(generated(3), first);
        QVERIFY(generated(4) != first);
    }

    void optionsChooseListsAndDepartment_data()
    {
        QTest::addColumn<QList<qint64>>("lists");
        QTest::addColumn<bool>("outpatient");
        QTest::addColumn<bool>("departmentFirst");
        QTest::addColumn<QList<qint64>>("used");
        QTest::addColumn<QString>("department");
        QTest::newRow("chosen lists")
            << QList<qint64>{2, 12} << false << false << QList<qint64>{2, 12} << "F";
        QTest::newRow("outpatient") << QList<qint64>{} << true << false << QList<qint64>{0} << "J";
        QTest::newRow("department kept")
            << QList<qint64>{5} << true << true << QList<qint64>{5} << "X";
    }
    void optionsChooseListsAndDepartment()
    {
        QFETCH(QList<qint64>, lists);
        QFETCH(bool, outpatient);
        QFETCH(bool, departmentFirst);
        QFETCH(QList<qint64>, used);
        QFETCH(QString, department);
        if (departmentFirst)
            testsupport::insertDepartment(m_connection, QStringLiteral("1111"),
                                          QStringLiteral("222222222"), QStringLiteral("X"),
                                          QStringLiteral("Meglévő"), QStringLiteral("titok"));
        tools::GeneratorOptions options;
        options.lists = lists;
        options.outpatient = outpatient;
        tools::generate(m_connection, 40, options);
        QList<qint64> found;
        for (const QVariantList &row : rows(
                 m_connection, QStringLiteral("SELECT DISTINCT BEAVTIP_KOD FROM LISTA ORDER BY 1")))
            found << row.at(0).toLongLong();
        QCOMPARE(found, used);
        QCOMPARE(rows(m_connection, QStringLiteral("SELECT JAROFEKVO FROM OSZTALY")),
                 (QList<QVariantList>{{department}}));
    }

    // A department's new file has no lists of its own: the generator fills the sample lists
    // of an inpatient department, and list 0 of an outpatient one without adding any.
    void newFileGetsTheSampleLists_data()
    {
        QTest::addColumn<bool>("outpatient");
        QTest::addColumn<QList<qint64>>("lists");
        QTest::addColumn<QList<qint64>>("used");
        QTest::newRow("inpatient") << false << QList<qint64>{0, 1, 2, 3, 4, 5, 11, 12, 13}
                                   << QList<qint64>{1, 2, 3, 4, 5, 11, 12, 13};
        QTest::newRow("outpatient") << true << QList<qint64>{0} << QList<qint64>{0};
    }
    void newFileGetsTheSampleLists()
    {
        QFETCH(bool, outpatient);
        QFETCH(QList<qint64>, lists);
        QFETCH(QList<qint64>, used);
        TempProgramDir dir;
        db::Connection connection;
        connection.open(dir.databasePath());
        tools::GeneratorOptions options;
        options.outpatient = outpatient;
        tools::generate(connection, 200, options);
        const auto codes = [&connection](const QString &sql) {
            QList<qint64> found;
            for (const QVariantList &row : rows(connection, sql))
                found << row.at(0).toLongLong();
            return found;
        };
        QCOMPARE(codes(QStringLiteral("SELECT BEAVTIP_KOD FROM BEAV_TIP ORDER BY 1")), lists);
        QCOMPARE(codes(QStringLiteral("SELECT DISTINCT BEAVTIP_KOD FROM LISTA ORDER BY 1")), used);
    }

    void badRequestsWriteNothing_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QList<qint64>>("lists");
        QTest::addColumn<QString>("message");
        QTest::newRow("too few") << 9 << QList<qint64>{}
                                 << "A bejegyzések száma 10 és 1000000 között lehet, nem 9";
        QTest::newRow("too many") << 1000001 << QList<qint64>{}
                                  << "A bejegyzések száma 10 és 1000000 között lehet, nem 1000001";
        QTest::newRow("unknown list")
            << 10 << QList<qint64>{1, 7} << "Nincs ilyen lista az adatbázisban: 7";
    }
    void badRequestsWriteNothing()
    {
        QFETCH(int, entries);
        QFETCH(QList<qint64>, lists);
        QFETCH(QString, message);
        tools::GeneratorOptions options;
        options.lists = lists;
        QCOMPARE(testsupport::dbErrorOf([&] { tools::generate(m_connection, entries, options); }),
                 message);
        QCOMPARE(count(QStringLiteral(
                     "SELECT (SELECT count(*) FROM LISTA) + (SELECT count(*) FROM OSZTALY)")),
                 0);
    }
};

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
