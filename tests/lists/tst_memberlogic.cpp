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
    void searchNeverMatchesAcrossMembers();
    void storedNamesFoldAsTyped_data();
    void storedNamesFoldAsTyped();
    void everySmallCharacterFoldsAsTyped();
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
    search.addRow("Kovács Éva", "123456788");
    search.addRow("Kovacs Ödön", "012345678");
    search.addRow("Szűcs Őrs", "987654321");
    search.addRow("O'Brien  Anna", "555-000-111");
    const std::vector<int> rows = search.filter(query, {0, 1, 2, 3});
    QCOMPARE(QList<int>(rows.begin(), rows.end()), found);
}

void TestMemberLogic::searchKeepsTheOrderGiven()
{
    lists::MemberSearch search;
    for (int i = 0; i < 5; ++i)
        search.addRow(i % 2 ? "Nagy Ágnes" : "Kis Béla", u"11111111%1"_s.arg(i).toUtf8());
    // A sorted order, and a row number past the rows read, which is dropped.
    const std::vector<int> rows = search.filter(u"agnes", {4, 3, 2, 1, 0, 7});
    QCOMPARE(QList<int>(rows.begin(), rows.end()), (QList<int>{3, 1}));
}

void TestMemberLogic::searchNeverMatchesAcrossMembers()
{
    lists::MemberSearch search;
    search.addRow("Kiss Ede", "111222333");
    search.addRow("Dénes Bea", "444555666");
    search.addRow("", "");
    search.addRow("Ede", "777");
    // The end of one key and the start of the next are never one text.
    QCOMPARE(search.filter(u"ede denes", {0, 1, 2, 3}), std::vector<int>{});
    QCOMPARE(search.filter(u"333444", {0, 1, 2, 3}), std::vector<int>{});
    QCOMPARE(search.filter(u"6667", {0, 1, 2, 3}), std::vector<int>{});
    // A key found twice is one row; a key at the very end is found too.
    QCOMPARE(search.filter(u"e", {3, 2, 1, 0}), (std::vector<int>{3, 1, 0}));
    QCOMPARE(search.filter(u"777", {0, 1, 2, 3}), std::vector<int>{3});
}

void TestMemberLogic::storedNamesFoldAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"Nagy Anna"_s;
    QTest::newRow("Hungarian letters") << u"ÁRVÍZTŰRŐ tükörfúrógép Ödön"_s;
    QTest::newRow("blanks of every kind") << u"  Kis\t\u00A0 Béla \u0085"_s;
    QTest::newRow("decomposed accents") << u"Gabor\u0301 E\u0301va"_s;
    QTest::newRow("accent after a blank") << u"Ede \u0301 Bea"_s;
    QTest::newRow("beyond the small letters") << u"Kovács \u1E9E \U0001F600 Ǆ"_s;
    QTest::newRow("other scripts") << u"Ωμέγα Ёлка ἄλφα"_s;
    QTest::newRow("empty") << QString();
}

void TestMemberLogic::storedNamesFoldAsTyped()
{
    QFETCH(QString, name);
    std::string folded = "kept";
    lists::MemberSearch::appendFolded(name.toUtf8(), folded);
    QCOMPARE(QString::fromStdString(folded), u"kept"_s + lists::MemberSearch::fold(name));
}

void TestMemberLogic::everySmallCharacterFoldsAsTyped()
{
    // Each character of the byte-wise table, alone and between letters and blanks, folds as
    // the typed query's fold() does.
    for (char16_t code = 1; code < 0x800; ++code) {
        const QString c(QChar{code});
        for (const QString &name : {c, u"A"_s + c + u"b "_s + c + u"C"_s}) {
            std::string folded;
            lists::MemberSearch::appendFolded(name.toUtf8(), folded);
            if (QString::fromStdString(folded) != lists::MemberSearch::fold(name))
                QFAIL(qPrintable(u"U+%1"_s.arg(uint(code), 4, 16, QLatin1Char('0'))));
        }
    }
    // Bytes that are no UTF-8 fold as the text they are shown as.
    std::string folded;
    lists::MemberSearch::appendFolded("Nagy \xC3 \xFF\xC0\xAF Anna", folded);
    QCOMPARE(QString::fromStdString(folded),
             lists::MemberSearch::fold(QString::fromUtf8("Nagy \xC3 \xFF\xC0\xAF Anna")));
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
