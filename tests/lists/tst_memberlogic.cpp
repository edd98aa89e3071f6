// The list manager's logic without its window: finding members by name and TAJ, the heading
// of what is printed and saved, the values of the history, and the row map that the grid shows.
#include "lists/memberhistory.h"
#include "lists/memberlisting.h"
#include "lists/membersearch.h"
#include "ui/rowmapmodel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QStandardItemModel>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMemberLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void searchFindsByNameOrTaj_data();
    void searchFindsByNameOrTaj();
    void searchKeepsTheOrderGiven();
    void historyValues_data();
    void historyValues();
    void rowMapFollowsRowsAndKeepsSelection();
};

void TestMemberLogic::searchFindsByNameOrTaj_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("found");
    // Rows: 0 Kovács Éva 123456788, 1 Kovacs Ödön 012345678, 2 Szűcs Őrs 987654321,
    // 3 O'Brien  Anna 555000111
    QTest::newRow("nothing typed") << "" << QList<int>{0, 1, 2, 3};
    QTest::newRow("only blanks") << "   " << QList<int>{0, 1, 2, 3};
    QTest::newRow("without accents") << "kovacs" << QList<int>{0, 1};
    QTest::newRow("with accents, capitals") << "KOVÁCS É" << QList<int>{0};
    QTest::newRow("double acute letters") << "szucs or" << QList<int>{2};
    QTest::newRow("double acute typed") << "Őrs" << QList<int>{2};
    QTest::newRow("plain o finds ö") << "odon" << QList<int>{1};
    QTest::newRow("blanks around and between") << "  o'brien   anna " << QList<int>{3};
    QTest::newRow("part of a TAJ") << "6788" << QList<int>{0};
    QTest::newRow("TAJ with dashes") << "456-788" << QList<int>{0};
    QTest::newRow("TAJ digits across a dash") << "3-45" << QList<int>{0, 1};
    QTest::newRow("leading zero of a TAJ") << "0123" << QList<int>{1};
    QTest::newRow("digits and letters find no TAJ") << "12a" << QList<int>{};
    QTest::newRow("no match") << "nagy" << QList<int>{};
}

void TestMemberLogic::searchFindsByNameOrTaj()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, found);
    lists::MemberSearch search;
    search.addRow(u"Kovács Éva", u"123456788"_s);
    search.addRow(u"Kovacs Ödön", u"012345678"_s);
    search.addRow(u"Szűcs Őrs", u"987654321"_s);
    search.addRow(u"O'Brien  Anna", u"555000111"_s);
    const std::vector<int> rows = search.filter(query, {0, 1, 2, 3});
    QCOMPARE(QList<int>(rows.begin(), rows.end()), found);
}

void TestMemberLogic::searchKeepsTheOrderGiven()
{
    lists::MemberSearch search;
    for (int i = 0; i < 5; ++i)
        search.addRow(i % 2 ? u"Nagy Ágnes" : u"Kis Béla", u"11111111%1"_s.arg(i));
    // A sorted order, and a row number past the rows read, which is dropped.
    const std::vector<int> rows = search.filter(u"agnes", {4, 3, 2, 1, 0, 7});
    QCOMPARE(QList<int>(rows.begin(), rows.end()), (QList<int>{3, 1}));
}

void TestMemberLogic::historyValues_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("eventName");
    QTest::addColumn<QString>("shown");
    const QString march7 = QLocale().toString(QDate(2006, 3, 7), QLocale::ShortFormat);
    QTest::newRow("event with its name") << "ESEM_KOD"
                                         << "VAR"
                                         << "Várakozás"
                                         << "Várakozás (VAR)";
    QTest::newRow("event no longer known") << "ESEM_KOD"
                                           << "XYZ"
                                           << ""
                                           << "XYZ";
    QTest::newRow("SQL date text") << "ESEM_DATUM"
                                   << "3/7/2006"
                                   << "" << march7;
    QTest::newRow("stored ISO date") << "ESEM_DATUM"
                                     << "2006-03-07"
                                     << "" << march7;
    QTest::newRow("not a date") << "ESEM_DATUM"
                                << "13/45/2006"
                                << ""
                                << "13/45/2006";
}

void TestMemberLogic::historyValues()
{
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, eventName);
    QFETCH(QString, shown);
    QCOMPARE(lists::historyValue(column, stored, eventName), shown);
}

void TestMemberLogic::rowMapFollowsRowsAndKeepsSelection()
{
    QStandardItemModel source(5, 2);
    for (int r = 0; r < 5; ++r)
        source.setItem(r, 0, new QStandardItem(QString::number(r)));
    ui::RowMapModel map;
    QAbstractItemModelTester tester(&map, QAbstractItemModelTester::FailureReportingMode::QtTest);
    map.setSourceModel(&source);
    QCOMPARE(map.rowCount(), 5);
    QPersistentModelIndex kept = map.index(3, 0);
    QPersistentModelIndex dropped = map.index(1, 0);
    map.setRows({4, 3, 0, 9});
    QCOMPARE(map.rowCount(), 3);
    QCOMPARE(map.index(0, 0).data().toString(), u"4"_s);
    QCOMPARE(kept.row(), 1);
    QVERIFY(!dropped.isValid());
    QCOMPARE(map.proxyRow(1), -1);
    QCOMPARE(map.sourceRow(2), 0);
    // Titles stay while nothing is shown.
    source.setHorizontalHeaderLabels({u"A"_s, u"B"_s});
    map.setRows({});
    QCOMPARE(map.headerData(1, Qt::Horizontal).toString(), u"B"_s);
    // A reset source shows all its rows again.
    source.setRowCount(2);
    QCOMPARE(map.rowCount(), 2);
}

QTEST_GUILESS_MAIN(TestMemberLogic)
#include "tst_memberlogic.moc"
