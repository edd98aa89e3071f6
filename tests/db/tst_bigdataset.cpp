// A dataset over a result too big to be kept beside it (a long list) reads every cell as it
// was stored, on both engines: nulls stay nulls, an empty text stays a text, whole numbers at
// the ends of their range and names with Hungarian letters come back unchanged, and reading
// the same rows again gives the same cells.
#include "support/tempdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"
#include "db/connection.h"

#include <QTest>

#include <limits>
#include <memory>

using testsupport::TempProgramDir;

namespace {

constexpr int rowCount = 12000; // past what the server's reading gives back at once

// Row i of the query below: K, S and N as the test expects them.
QVariant expectedNumber(int i)
{
    switch (i % 4) {
    case 0:
        return {};
    case 1:
        return QVariant(std::numeric_limits<qint64>::max() - i);
    case 2:
        return QVariant(std::numeric_limits<qint64>::min() + 1 + i);
    default:
        return QVariant(qint64(i));
    }
}

QVariant expectedText(int i)
{
    switch (i % 5) {
    case 0:
        return {};
    case 1:
        return QString::fromUtf8("", 0);
    case 2:
        return QStringLiteral("Őrség Ű %1").arg(i);
    default:
        return QStringLiteral("n%1").arg(i);
    }
}

QString expectedName(int i)
{
    return i % 3 == 0 ? QStringLiteral("Kovács Ödön") : QStringLiteral("Nagy Éva %1").arg(i);
}

QString query()
{
    return QStringLiteral(
               "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "SELECT i AS I, CASE i % 4 WHEN 0 THEN NULL WHEN 1 THEN 9223372036854775807 - i "
               "WHEN 2 THEN -9223372036854775807 + i ELSE i END AS K, "
               "CASE i % 5 WHEN 0 THEN NULL WHEN 1 THEN '' WHEN 2 THEN 'Őrség Ű ' || i "
               "ELSE 'n' || i END AS S, "
               "CASE WHEN i % 3 = 0 THEN 'Kovács Ödön' ELSE 'Nagy Éva ' || i END AS N FROM n")
        .arg(rowCount - 1);
}

} // namespace

class TestBigDataset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    db::Connection m_connection;

    static void compareRows(const db::Dataset &set)
    {
        QCOMPARE(set.recordCount(), rowCount);
        for (int i = 0; i < rowCount; ++i) {
            const QVariant number = set.value(i, 1);
            const QVariant text = set.value(i, 2);
            const QVariant name = set.value(i, 3);
            const QVariant wantedText = expectedText(i);
            if (set.value(i, 0) != QVariant(qint64(i)) || number != expectedNumber(i)
                || number.isNull() != expectedNumber(i).isNull() || text != wantedText
                || text.isNull() != wantedText.isNull() || name != QVariant(expectedName(i)))
                QFAIL(qPrintable(QStringLiteral("row %1: %2 | %3 | %4")
                                     .arg(i)
                                     .arg(number.toString(), text.toString(), name.toString())));
            // The bytes a long list is searched and exported by are the stored UTF-8.
            if (set.utf8(i, 3) != expectedName(i).toUtf8())
                QFAIL(qPrintable(QStringLiteral("row %1: the name's bytes").arg(i)));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = std::make_unique<TempProgramDir>();
        m_dir->connect(m_connection);
    }
    void cleanupTestCase()
    {
        m_connection.close();
        m_dir.reset();
    }

    void cellsReadAsStored_data()
    {
        QTest::addColumn<bool>("withFields");
        QTest::newRow("each value of its own kind") << false;
        QTest::newRow("persistent fields") << true;
    }
    void cellsReadAsStored()
    {
        QFETCH(bool, withFields);
        db::Dataset set(QStringLiteral("aqNagy"));
        set.setConnection(&m_connection);
        if (withFields)
            set.setFields({{QStringLiteral("K"), db::FieldKind::Integer, 0},
                           {QStringLiteral("S"), db::FieldKind::Text, 20},
                           {QStringLiteral("N"), db::FieldKind::Text, 50}});
        set.setSql(query());
        set.open();
        compareRows(set);
        QVERIFY(set.oddValues().empty());
        // Read again, as the list is after a member dialog.
        set.refresh();
        compareRows(set);
        set.refresh();
        compareRows(set);
    }
};

QTEST_GUILESS_MAIN(TestBigDataset)
#include "tst_bigdataset.moc"
