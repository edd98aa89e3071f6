// A table saved as PDF and read back as a person reads the paper: every value whole, nothing
// within 10 mm of the edge, the titles and the heading on every page, the page numbers, the
// rule under the titles as wide as the table, and the page turned or the font made smaller
// before anything would be cut.
#include "pdfwords.h"

#include "tables/tablefiles.h"
#include "tables/tableprinter.h"
#include "tables/texttable.h"

#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

constexpr qreal tenMm = 10 * 72 / 25.4;

struct Sample
{
    QStringList titles;
    QList<QStringList> rows;
};

// Members with names and events of the given lengths; the urgency column is one letter
// under a six-letter title, the waiting days a number column at the right edge.
Sample members(int rows, int nameWords, int eventWords)
{
    Sample s;
    s.titles = {u"Hiv. Szám"_s, u"TAJ"_s,     u"Név"_s,           u"Listárakerülés"_s,
                u"Sürgős"_s,    u"Esemény"_s, u"Esemény dátum"_s, u"Várakozás (nap)"_s};
    for (int r = 0; r < rows; ++r) {
        QStringList name{u"Kovácsné"_s};
        for (int w = 1; w < nameWords; ++w)
            name << u"Tóth%1"_s.arg(w);
        name << u"Ilona%1"_s.arg(r);
        QStringList event{u"Várakozás"_s};
        for (int w = 1; w < eventWords; ++w)
            event << u"időpontra%1"_s.arg(w);
        s.rows << QStringList{QString::number(1000 + r), QString::number(200000000 + r),
                              name.join(u' '),           u"2026. 01. 0%1."_s.arg(r % 9 + 1),
                              r % 2 ? u"A"_s : u"H"_s,   event.join(u' '),
                              u"2026. 03. 10."_s,        QString::number(r * 7)};
    }
    return s;
}

// Only the reference number, the name, the urgency and the waiting days.
Sample fewColumns(Sample s)
{
    const QList<int> keep{0, 2, 4, 7};
    const auto pick = [&keep](const QStringList &all) {
        QStringList some;
        for (const int c : keep)
            some << all.at(c);
        return some;
    };
    s.titles = pick(s.titles);
    for (QStringList &row : s.rows)
        row = pick(row);
    return s;
}

} // namespace

class TestTablePdf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagesShowEveryValueWhole_data();
    void pagesShowEveryValueWhole();
    void tooWideEvenSmallBreaksLinesButLosesNothing();
};

void TestTablePdf::pagesShowEveryValueWhole_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("nameWords");
    QTest::addColumn<int>("eventWords");
    QTest::addColumn<bool>("few"); // four columns only
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<bool>("smaller");
    QTest::addColumn<QString>("filterNote");
    QTest::newRow("narrow, one page: portrait")
        << 5 << 2 << 1 << true << false << false << QString();
    QTest::newRow("wide, several pages: landscape")
        << 150 << 4 << 3 << false << true << false
        << u"Csak a keresésnek („kov”) megfelelő 150 tag."_s;
    QTest::newRow("wider than landscape: smaller font")
        << 70 << 8 << 6 << false << true << true << QString();
}

void TestTablePdf::pagesShowEveryValueWhole()
{
    QFETCH(int, rows);
    QFETCH(int, nameWords);
    QFETCH(int, eventWords);
    QFETCH(bool, few);
    QFETCH(bool, landscape);
    QFETCH(bool, smaller);
    QFETCH(QString, filterNote);
    const Sample all = members(rows, nameWords, eventWords);
    const Sample sample = few ? fewColumns(all) : all;
    const tables::TextTable table(sample.titles, sample.rows, {0, int(sample.titles.size()) - 1});
    tables::Heading heading{
        u"Belgyógyászat – Csípőprotézis beültetése"_s,
        {u"Intézeti kód: 1234   Finanszírozási kód: 123456789"_s, u"Dátum: 2026. 03. 10."_s},
        filterNote};
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lista.pdf"_s);
    tables::savePdf(path, tables::TablePrinter(table, heading), heading.title, u"teszt"_s);

    QString error;
    const QList<PdfPage> pages = readPdfWords(path, &error);
    QVERIFY2(!pages.isEmpty(), qPrintable(error));
    QCOMPARE(pages.size() > 1, rows > 60);
    int shown = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const PdfPage &page = pages.at(p);
        QCOMPARE(page.size.width() > page.size.height(), landscape);
        QCOMPARE(page.wordsWithin(tenMm), QStringList());
        QVERIFY(page.hasWholeText(sample.titles.join(u' ')));
        QVERIFY(page.hasWholeText(heading.title));
        for (const QString &line : heading.lines)
            QVERIFY(page.hasWholeText(line));
        QVERIFY(page.hasWholeText(filterNote));
        QVERIFY(page.hasWholeText(u"%1. oldal / %2"_s.arg(p + 1).arg(pages.size())));
        for (const QStringList &row : sample.rows) {
            // Each value on its own, so that one running into the next is caught.
            if (page.hasWholeText(row.at(1))) {
                ++shown;
                for (const QString &cell : row)
                    QVERIFY2(page.hasWholeText(cell), qPrintable(cell));
            }
        }
        // The rule under the titles: from the first title's left to the right edge of the
        // number column, which its widest number reaches.
        const QPair<qreal, qreal> rule = longestRule(path, p + 1);
        qreal left = page.size.width();
        qreal right = 0;
        for (const PdfWord &word : page.words) {
            if (word.text == u"Hiv.")
                left = word.box.left();
            if (sample.rows.constLast().constLast() == word.text)
                right = std::max(right, word.box.right());
        }
        if (p + 1 == pages.size()) {
            QVERIFY2(qAbs(rule.first - left) < 2 && qAbs(rule.second - right) < 2,
                     qPrintable(u"rule %1–%2, table %3–%4"_s.arg(rule.first)
                                    .arg(rule.second)
                                    .arg(left)
                                    .arg(right)));
        }
    }
    QCOMPARE(shown, rows);
    // A smaller font shows in the height of the words, against the heading's usual size.
    qreal usual = 0;
    qreal cell = 0;
    for (const PdfWord &word : pages.constFirst().words) {
        if (word.text == u"Intézeti")
            usual = word.box.height();
        if (word.text == u"Kovácsné")
            cell = word.box.height();
    }
    QVERIFY(usual > 0 && cell > 0);
    QCOMPARE(cell < usual - 0.1, smaller);
}

void TestTablePdf::tooWideEvenSmallBreaksLinesButLosesNothing()
{
    Sample sample = members(3, 2, 1);
    QString event;
    for (int i = 0; i < 60; ++i)
        event += u"szó%1 "_s.arg(i);
    sample.rows[1][5] = event.trimmed();
    sample.rows[2][2] = QString(160, u'Ő');
    const tables::TextTable table(sample.titles, sample.rows, {0, 7});
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lista.pdf"_s);
    tables::savePdf(path, tables::TablePrinter(table, {u"Osztály – Lista"_s, {}, {}}), {}, {});

    QString error;
    const QList<PdfPage> pages = readPdfWords(path, &error);
    QVERIFY2(!pages.isEmpty(), qPrintable(error));
    QStringList all;
    for (const PdfPage &page : pages) {
        QCOMPARE(page.wordsWithin(tenMm), QStringList());
        for (const PdfWord &word : page.words)
            all << word.text;
    }
    // Every word of the long event, and every letter of the long name, is on the paper.
    for (const QString &word : wordsOf(event))
        QVERIFY2(all.contains(word), qPrintable(word));
    QCOMPARE(all.join(QString()).count(u'Ő'), 160);
}

QTEST_MAIN(TestTablePdf)
#include "tst_tablepdf.moc"
