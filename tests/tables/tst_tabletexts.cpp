// A table's texts before they reach paper or a file: CSV fields a spreadsheet reads, the CSV
// of a whole model, lines broken inside a cell, and the font size that makes a table fit.
#include "tables/csvwriter.h"
#include "tables/tablelayout.h"
#include "tables/texttable.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTableTexts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void csvFields_data();
    void csvFields();
    void csvDocumentStartsWithBomAndEndsLinesWithCrLf();
    void csvOfAModelSaysWhenItIsNarrowed();
    void wrappedTextKeepsEveryCharacter_data();
    void wrappedTextKeepsEveryCharacter();
    void columnsFitByASmallerFontThenByLines_data();
    void columnsFitByASmallerFontThenByLines();
};

void TestTableTexts::csvFields_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain") << QStringList{u"12"_s, u"Kiss Ödön"_s, u"2026. 03. 07."_s, u"3"_s}
                           << u"12;Kiss Ödön;2026. 03. 07.;3\r\n"_s;
    QTest::newRow("separator and quote") << QStringList{u"1"_s, u"Kiss; \"Öcsi\""_s, u"x"_s, u"0"_s}
                                         << u"1;\"Kiss; \"\"Öcsi\"\"\";x;0\r\n"_s;
    QTest::newRow("line break and blanks at the ends")
        << QStringList{u"1"_s, u"a\nb"_s, u" c "_s, u"2"_s} << u"1;\"a\nb\";\" c \";2\r\n"_s;
    QTest::newRow("formula-like texts")
        << QStringList{u"1"_s, u"=1+1"_s, u"@SUM(A1)"_s, u"5"_s} << u"1;'=1+1;'@SUM(A1);5\r\n"_s;
    QTest::newRow("titles and empty cells in number columns stay text")
        << QStringList{u"Hiv. Szám"_s, u""_s, u""_s, u"-5"_s} << u"Hiv. Szám;;;-5\r\n"_s;
}

void TestTableTexts::csvFields()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, line);
    tables::CsvWriter csv({0, 3});
    csv.addRow(fields);
    QCOMPARE(QString::fromUtf8(csv.document().mid(3)), line);
}

void TestTableTexts::csvDocumentStartsWithBomAndEndsLinesWithCrLf()
{
    tables::CsvWriter csv;
    csv.addRow({u"ő"_s});
    csv.addRow({u"ű"_s});
    QCOMPARE(csv.document(), QByteArray("\xEF\xBB\xBF\xC5\x91\r\n\xC5\xB1\r\n"));
}

void TestTableTexts::csvOfAModelSaysWhenItIsNarrowed()
{
    const tables::TextTable table({u"Hiv. Szám"_s, u"Név"_s, u"Várakozás (nap)"_s},
                                  {{u"7"_s, u"Kovács Éva"_s, u"12"_s}, {u"9"_s, u"=x"_s, u""_s}},
                                  {0, 2});
    QCOMPARE(QString::fromUtf8(tables::csvDocument(table, QString()).mid(3)),
             u"Hiv. Szám;Név;Várakozás (nap)\r\n7;Kovács Éva;12\r\n9;'=x;\r\n"_s);
    QVERIFY(tables::csvDocument(table, u"Csak a keresésnek megfelelő 2 tag."_s)
                .mid(3)
                .startsWith(u"Csak a keresésnek megfelelő 2 tag.\r\nHiv. Szám;"_s.toUtf8()));
}

void TestTableTexts::wrappedTextKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("digits"); // the width, in widths of the digit 0
    QTest::newRow("fits") << u"Kovács Éva"_s << 30;
    QTest::newRow("at blanks") << u"Halasztva a beteg kérésére, későbbi időpontra"_s << 12;
    QTest::newRow("a word wider than the column") << u"Csípőprotézisbeültetés után"_s << 6;
    QTest::newRow("narrower than one letter") << u"ŐŰ"_s << 0;
    QTest::newRow("empty") << QString() << 5;
}

void TestTableTexts::wrappedTextKeepsEveryCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, digits);
    const QFontMetricsF metrics{QFont()};
    const qreal width = digits * metrics.horizontalAdvance(u'0');
    const QStringList lines = tables::wrapText(text, metrics, width);
    QVERIFY(!lines.isEmpty());
    QString joined;
    for (const QString &line : lines) {
        // Only a single letter may stand wider than the column: it cannot be broken.
        QVERIFY2(metrics.horizontalAdvance(line) <= width || line.size() == 1, qPrintable(line));
        joined += line;
    }
    QString withoutBlanks = text;
    withoutBlanks.remove(u' ');
    QCOMPARE(joined.remove(u' '), withoutBlanks);
    if (metrics.horizontalAdvance(text) <= width)
        QCOMPARE(lines, QStringList{text});
}

void TestTableTexts::columnsFitByASmallerFontThenByLines_data()
{
    QTest::addColumn<int>("nameLength");
    QTest::addColumn<bool>("smaller");
    QTest::addColumn<bool>("wrapped");
    QTest::newRow("fits at the usual size") << 20 << false << false;
    QTest::newRow("fits at a smaller size") << 180 << true << false;
    QTest::newRow("too wide for any size") << 400 << true << true;
}

void TestTableTexts::columnsFitByASmallerFontThenByLines()
{
    QFETCH(int, nameLength);
    QFETCH(bool, smaller);
    QFETCH(bool, wrapped);
    QBuffer nowhere;
    QPdfWriter device(&nowhere);
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Landscape);
    const qreal available = device.pageLayout().paintRectPixels(device.resolution()).width();
    QString name;
    for (int i = 0; name.size() < nameLength; ++i)
        name += u"Kovácsné%1 "_s.arg(i);
    tables::TableTexts texts;
    texts.titles = QStringList{u"Hiv. Szám"_s, u"Név"_s, u"Sürgős"_s};
    texts.alignRight = {true, false, false};
    texts.rows = {{u"1"_s, name.trimmed(), u"A"_s}, {u"12345"_s, u"Nagy Ödön"_s, u"H"_s}};

    const tables::ColumnFit fit = tables::fitColumns(texts, QFont(), &device, available);
    QCOMPARE(fit.points < tables::usualPoints, smaller);
    QCOMPARE(fit.wrapped, wrapped);
    QVERIFY(fit.points >= tables::smallestPoints);
    QVERIFY2(fit.tableWidth() <= available, qPrintable(QString::number(fit.tableWidth())));
    QFont body;
    body.setPointSizeF(fit.points);
    QFont bold = body;
    bold.setBold(true);
    const QFontMetricsF bodyMetrics(body, &device);
    const QFontMetricsF boldMetrics(bold, &device);
    // Titles are never squeezed: "Sürgős" over a one-letter column keeps its width.
    QVERIFY(fit.widths.at(2) >= boldMetrics.horizontalAdvance(u"Sürgős"_s));
    if (!wrapped) {
        for (const QStringList &row : std::as_const(texts.rows)) {
            for (qsizetype c = 0; c < row.size(); ++c)
                QVERIFY(bodyMetrics.horizontalAdvance(row.at(c)) <= fit.widths.at(c));
        }
    }
    // A size that fits is the largest one in half points that does.
    if (smaller && !wrapped) {
        const tables::ColumnFit larger
            = tables::fitColumns(texts, QFont(), &device, fit.tableWidth() * 1.2);
        QVERIFY(larger.points > fit.points);
    }
}

QTEST_MAIN(TestTableTexts)
#include "tst_tabletexts.moc"
