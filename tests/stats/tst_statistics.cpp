// The statistics as the engine counts them, against hand-computed figures and against a
// brute-force count over every entry and log row.
#include "bruteforce.h"
#include "statsfixture.h"
#include "tempdatabase.h"

#include "db/connection.h"
#include "stats/figuretables.h"
#include "stats/statistics.h"

#include <QTest>

using namespace testsupport;

namespace {

stats::Scope list(int code)
{
    return {stats::Scope::Extent::OneList, code, QStringLiteral("V"), QString::number(code)};
}

stats::Scope kind(const QString &code)
{
    return {stats::Scope::Extent::WholeKind, 0, code, code};
}

// The figures of a scope as plain numbers per row, for comparing whole tables at once.
QList<QVariantList> rowsOf(const stats::FigureTable &table)
{
    return table.rows;
}

QString describe(const QList<stats::MonthFigures> &months)
{
    QStringList parts;
    for (const stats::MonthFigures &m : months)
        parts << QStringLiteral("%1:%2").arg(m.countedOn.toString(Qt::ISODate)).arg(m.members);
    return parts.join(u' ');
}

// The hand-computed department on the engine of the run.
struct HandComputedDepartment
{
    HandComputedDepartment()
    {
        dir.connect(connection);
        fillStatsDepartment(connection);
    }
    TempProgramDir dir{db::schema::Contents::WithSampleLists};
    db::Connection connection;
};

void compareWithCountByHand(db::Connection &connection, const stats::Scope &scope,
                            const QList<int> &lists)
{
    const stats::Figures figures = stats::computeFigures(connection, scope, statsToday());
    const QList<CountedMonth> expected = countMonthsByHand(connection, lists, statsToday());
    QCOMPARE(figures.months.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const stats::MonthFigures &got = figures.months.at(i);
        const CountedMonth &want = expected.at(i);
        const QByteArray where = got.countedOn.toString(Qt::ISODate).toLatin1();
        QCOMPARE(got.countedOn, want.countedOn);
        QVERIFY2(got.members == want.members, where + ' ' + describe(figures.months).toUtf8());
        QVERIFY2(got.added == want.added, where);
        QVERIFY2(got.returned == want.returned, where);
        QMap<QString, qint64> left;
        for (auto it = got.left.cbegin(); it != got.left.cend(); ++it) {
            if (it.value() != 0)
                left.insert(it.key(), it.value());
        }
        QVERIFY2(left == want.left, where);
    }
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void waitsOfTheMembersNow();
    void trendAndFlowOfOneList();
    void listWithNoEntry();
    void wholeKind();
    void randomHistoriesAgreeWithCountByHand_data();
    void randomHistoriesAgreeWithCountByHand();
};

void TestStatistics::waitsOfTheMembersNow()
{
    HandComputedDepartment department;
    db::Connection &connection = department.connection;
    const stats::Figures figures = stats::computeFigures(connection, list(1), statsToday());

    // Acute: E1 (430 days). Deferrable: E3 today, E2 from 29 February (15), E12 (252),
    // E7 (349), E5 back on the list but waiting since 2022 (496). E14's urgency is "X": other.
    const QList<QVariantList> now{
        {QStringLiteral("Azonnali (Akut)"), 1LL, 430LL, 430LL, 430LL, 1LL, 1LL, 1LL, 0LL},
        {QStringLiteral("Halasztható"), 5LL, 252LL, 496LL, 496LL, 3LL, 3LL, 1LL, 0LL},
        {QStringLiteral("Egyéb"), 1LL, 44LL, 44LL, 44LL, 0LL, 0LL, 0LL, 0LL},
        {QStringLiteral("Összesen"), 7LL, 252LL, 496LL, 496LL, 4LL, 4LL, 2LL, 0LL},
    };
    QCOMPARE(rowsOf(stats::nowTable(figures)), now);

    const QList<QVariantList> distribution{
        {QStringLiteral("0–30"), 0LL, 2LL, 0LL, 2LL},
        {QStringLiteral("31–60"), 0LL, 0LL, 1LL, 1LL},
        {QStringLiteral("61–90"), 0LL, 0LL, 0LL, 0LL},
        {QStringLiteral("91–180"), 0LL, 0LL, 0LL, 0LL},
        {QStringLiteral("181–365"), 0LL, 2LL, 0LL, 2LL},
        {QStringLiteral("366–730"), 1LL, 1LL, 0LL, 2LL},
        {QStringLiteral("731 vagy több"), 0LL, 0LL, 0LL, 0LL},
    };
    QCOMPARE(rowsOf(stats::distributionTable(figures)), distribution);
}

void TestStatistics::trendAndFlowOfOneList()
{
    HandComputedDepartment department;
    db::Connection &connection = department.connection;
    const stats::Figures figures = stats::computeFigures(connection, list(1), statsToday());

    // From April 2022 to today, 15 March 2024.
    const QList<qint64> members{0, 0, 1, 1, 1, 0, 0, 1, 1, 3, 3, 4,
                                5, 6, 6, 6, 7, 6, 6, 6, 5, 6, 7, 7};
    QList<qint64> counted;
    for (const stats::MonthFigures &m : figures.months)
        counted << m.members;
    QCOMPARE(counted, members);
    QCOMPARE(figures.months.first().countedOn, QDate(2022, 4, 30));
    QCOMPARE(figures.months.at(22).countedOn, QDate(2024, 2, 29));
    QCOMPARE(figures.months.last().countedOn, statsToday());
    // The last month ends with the members of today.
    QCOMPARE(figures.months.last().members, figures.waiting.all.members);

    const auto month = [&figures](int year, int m) {
        for (const stats::MonthFigures &f : figures.months) {
            if (f.month == QDate(year, m, 1))
                return f;
        }
        return stats::MonthFigures{};
    };
    const auto left = [](const stats::MonthFigures &m) {
        QMap<QString, qint64> nonzero;
        for (auto it = m.left.cbegin(); it != m.left.cend(); ++it) {
            if (it.value() != 0)
                nonzero.insert(it.key(), it.value());
        }
        return nonzero;
    };
    using Left = QMap<QString, qint64>;
    // E16 left in September 2022 and came back in January 2023, when E1 came.
    QCOMPARE(left(month(2022, 9)), (Left{{QStringLiteral("BEA"), 1}}));
    QCOMPARE(month(2023, 1).added, 1);
    QCOMPARE(month(2023, 1).returned, 1);
    // E6 left on 31 July, its day corrected from 31 August.
    QCOMPARE(left(month(2023, 7)), (Left{{QStringLiteral("BEA"), 1}}));
    QCOMPARE(left(month(2023, 8)), Left{});
    // E7 left and came back in October, on the same day.
    QCOMPARE(left(month(2023, 10)), (Left{{QStringLiteral("NJE"), 1}}));
    QCOMPARE(month(2023, 10).returned, 1);
    // E9 came and went on 1 December; E15 left on Christmas Eve.
    QCOMPARE(month(2023, 12).added, 1);
    QCOMPARE(left(month(2023, 12)), (Left{{QStringLiteral("ATH"), 1}, {QStringLiteral("BEA"), 1}}));
    // E11's event day is still to come: it counts as leaving today.
    QCOMPARE(left(month(2024, 3)), (Left{{QStringLiteral("BEA"), 1}}));
    QCOMPARE(month(2024, 3).added, 1);

    const stats::FigureTable flow = stats::flowTable(figures);
    QCOMPARE(flow.columns.mid(0, 5),
             (QStringList{QStringLiteral("Hónap"), QStringLiteral("Felvéve"),
                          QStringLiteral("Visszakerült"), QStringLiteral("Lekerült"),
                          QStringLiteral("Lekerült: Más intézménybe áthelyezve")}));
    QCOMPARE(flow.rows.at(20).at(0).toString(), QStringLiteral("2023. december"));
    compareWithCountByHand(connection, list(1), {1});
}

void TestStatistics::listWithNoEntry()
{
    HandComputedDepartment department;
    db::Connection &connection = department.connection;
    const stats::Figures figures = stats::computeFigures(connection, list(3), statsToday());
    const QList<QVariantList> now{
        {QStringLiteral("Azonnali (Akut)"), 0LL, {}, {}, {}, 0LL, 0LL, 0LL, 0LL},
        {QStringLiteral("Halasztható"), 0LL, {}, {}, {}, 0LL, 0LL, 0LL, 0LL},
        {QStringLiteral("Összesen"), 0LL, {}, {}, {}, 0LL, 0LL, 0LL, 0LL},
    };
    QCOMPARE(rowsOf(stats::nowTable(figures)), now);
    for (const stats::MonthFigures &m : figures.months) {
        QCOMPARE(m.members, 0);
        QCOMPARE(m.added + m.returned + m.leftTotal(), 0);
    }
    QCOMPARE(stats::cellText(now.at(0).at(2)), QStringLiteral("–"));
}

void TestStatistics::wholeKind()
{
    HandComputedDepartment department;
    db::Connection &connection = department.connection;
    const stats::Figures waiting
        = stats::computeFigures(connection, kind(QStringLiteral("V")), statsToday());
    // List 1's seven and E10 of list 2, back since August.
    QCOMPARE(waiting.waiting.all.members, 8);
    QCOMPARE(waiting.months.at(13).members, 7); // May 2023: E10 came on the 5th
    QCOMPARE(waiting.months.at(14).members, 6); // June: E10 left on the 1st
    QCOMPARE(waiting.months.at(16).members, 8); // August: back on the 1st
    compareWithCountByHand(connection, kind(QStringLiteral("V")), {1, 2, 3, 4, 5});
    const stats::Figures admission
        = stats::computeFigures(connection, kind(QStringLiteral("B")), statsToday());
    QCOMPARE(admission.waiting.all.members, 1);
    QCOMPARE(admission.waiting.byUrgency[stats::Acute].median, 188);
}

void TestStatistics::randomHistoriesAgreeWithCountByHand_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("1") << 1u;
    QTest::newRow("2") << 2u;
    QTest::newRow("3") << 3u;
}

void TestStatistics::randomHistoriesAgreeWithCountByHand()
{
    QFETCH(quint32, seed);
    TempProgramDir dir(db::schema::Contents::WithSampleLists);
    db::Connection connection;
    dir.connect(connection);
    fillRandomHistories(connection, seed, 400);
    compareWithCountByHand(connection, list(1), {1});
    compareWithCountByHand(connection, list(2), {2});
    compareWithCountByHand(connection, kind(QStringLiteral("V")), {1, 2, 3, 4, 5});
    compareWithCountByHand(connection, kind(QStringLiteral("B")), {11, 12, 13});
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
