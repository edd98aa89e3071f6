#include "support/tempdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/values.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using testsupport::TempProgramDir;

class TestDataset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    db::Connection m_connection;

    std::unique_ptr<db::Dataset> dataset(const QString &sql, const QList<db::FieldDef> &fields = {})
    {
        auto result = std::make_unique<db::Dataset>(QStringLiteral("aqProba"));
        result->setConnection(&m_connection);
        result->setFields(fields);
        result->setSql(sql);
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = std::make_unique<TempProgramDir>();
        m_dir->connect(m_connection);
        m_connection.execute(QStringLiteral("CREATE TEMP TABLE T (K INTEGER, S TEXT, D TEXT)"));
        m_connection.execute(QStringLiteral(
            "INSERT INTO T VALUES (1, 'egy', '2006-03-07'), (2, 'kettő', '2006-03-07 10:11:12'), "
            "(3, 'egy', NULL), (NULL, NULL, '2006-03-08')"));
    }
    void cleanupTestCase()
    {
        m_connection.close();
        m_dir.reset();
    }

    void persistentFieldsKeepWhatTheyDoNotHold_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("width");
        QTest::addColumn<QVariant>("read");
        QTest::addColumn<bool>("odd"); // named among the cells the field does not hold
        const int integer = int(db::FieldKind::Integer);
        const int text = int(db::FieldKind::Text);
        const int date = int(db::FieldKind::DateTime);
        QTest::newRow("integer") << "SELECT 42 AS F" << integer << 0 << QVariant(qint64(42))
                                 << false;
        QTest::newRow("integer past 32 bits")
            << "SELECT 4294967298 AS F" << integer << 0 << QVariant(qint64(4294967298)) << false;
        QTest::newRow("integer in text")
            << "SELECT '-42' AS F" << integer << 0 << QVariant(qint64(-42)) << false;
        QTest::newRow("whole real")
            << "SELECT 7.0 AS F" << integer << 0 << QVariant(qint64(7)) << false;
        QTest::newRow("null integer") << "SELECT NULL AS F" << integer << 0 << QVariant() << false;
        QTest::newRow("fraction") << "SELECT 3.5 AS F" << integer << 0 << QVariant(3.5) << true;
        QTest::newRow("word") << "SELECT 'abc' AS F" << integer << 0
                              << QVariant(QStringLiteral("abc")) << true;
        QTest::newRow("padded number")
            << "SELECT ' 12' AS F" << integer << 0 << QVariant(QStringLiteral(" 12")) << true;
        QTest::newRow("too big") << "SELECT '99999999999999999999' AS F" << integer << 0
                                 << QVariant(QStringLiteral("99999999999999999999")) << true;
        QTest::newRow("text at width")
            << "SELECT 'őűá' AS F" << text << 3 << QVariant(QStringLiteral("őűá")) << false;
        QTest::newRow("number as text")
            << "SELECT 1234 AS F" << text << 4 << QVariant(QStringLiteral("1234")) << false;
        QTest::newRow("text too long")
            << "SELECT 'abcd' AS F" << text << 3 << QVariant(QStringLiteral("abcd")) << true;
        QTest::newRow("NUL inside, over the width")
            << "SELECT CAST(X'41420043' AS TEXT) AS F" << text << 2
            << QVariant(QString::fromLatin1("AB\0C", 4)) << true;
        QTest::newRow("bytes in a text field")
            << "SELECT X'00FF' AS F" << text << 9 << QVariant(QByteArray("\x00\xff", 2)) << true;
        QTest::newRow("Latin-1 text") << "SELECT CAST(X'4BF67A' AS TEXT) AS F" << text << 9
                                      << QVariant(QByteArray("K\xf6z")) << true;
        QTest::newRow("leading byte-order marks kept")
            << "SELECT CAST(X'EFBBBFEFBBBF41' AS TEXT) AS F" << text << 3
            << QVariant(QStringLiteral("\uFEFF\uFEFFA")) << false;
        QTest::newRow("stored day")
            << "SELECT '2006-03-07' AS F" << date << 0
            << QVariant(QDateTime(QDate(2006, 3, 7), QTime(0, 0), Qt::UTC)) << false;
        QTest::newRow("stored moment")
            << "SELECT '2006-03-07 23:59:58' AS F" << date << 0
            << QVariant(QDateTime(QDate(2006, 3, 7), QTime(23, 59, 58), Qt::UTC)) << false;
        QTest::newRow("no such day") << "SELECT '2006-02-30' AS F" << date << 0
                                     << QVariant(QStringLiteral("2006-02-30")) << true;
        QTest::newRow("year 0") << "SELECT '0000-01-01' AS F" << date << 0
                                << QVariant(QStringLiteral("0000-01-01")) << true;
        QTest::newRow("statement date text") << "SELECT '3/7/2006' AS F" << date << 0
                                             << QVariant(QStringLiteral("3/7/2006")) << true;
        QTest::newRow("day number")
            << "SELECT 38783 AS F" << date << 0 << QVariant(qint64(38783)) << true;
    }
    void persistentFieldsKeepWhatTheyDoNotHold()
    {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QFETCH(int, width);
        QFETCH(QVariant, read);
        QFETCH(bool, odd);
        // The column name is matched without regard to letter case. Three rows, the odd one
        // between two that are not.
        const QString fine = int(db::FieldKind(kind)) == int(db::FieldKind::DateTime)
                                 ? QStringLiteral("'2006-03-07'")
                                 : QStringLiteral("'1'");
        auto set = dataset(QStringLiteral("SELECT %1 AS F UNION ALL %2 UNION ALL SELECT %1")
                               .arg(fine, sql.replace(QStringLiteral(" AS F"), QString())),
                           {{QStringLiteral("f"), db::FieldKind(kind), width}});
        set->open();
        QCOMPARE(set->recordCount(), 3);
        QCOMPARE(set->value(1, 0), read);
        if (read.typeId() == QMetaType::QDateTime)
            QCOMPARE(set->value(1, 0).toDateTime().timeSpec(), Qt::UTC);
        QCOMPARE(set->oddValues().size(), std::size_t(odd ? 1 : 0));
        if (odd)
            QCOMPARE(set->oddValues().front().row, 1);
        set->setCurrentRow(1);
        if (read.typeId() == QMetaType::QByteArray)
            QCOMPARE(set->asText(QStringLiteral("F")), QStringLiteral("(bináris adat)"));
        set->close();
        QVERIFY(set->oddValues().empty());
    }

    void missingFieldIsAnError()
    {
        auto set = dataset(QStringLiteral("SELECT 1 AS G"),
                           {{QStringLiteral("f"), db::FieldKind::Integer, 0}});
        QCOMPARE(testsupport::dbErrorOf([&] { set->open(); }),
                 QStringLiteral("Hiányzik a(z) f mező (adathalmaz: aqProba)"));
        QVERIFY(!set->isOpen());
    }

    void columnsWithoutFieldKeepTheirOwnType()
    {
        auto set = dataset(QStringLiteral("SELECT count(*) AS N, 1.5 AS R, 'x' AS S, X'00FF' AS B, "
                                          "NULL AS Z FROM T"));
        set->open();
        QCOMPARE(set->value(0, 0), QVariant(qint64(4)));
        QCOMPARE(set->value(0, 1), QVariant(1.5));
        QCOMPARE(set->value(0, 2), QVariant(QStringLiteral("x")));
        QCOMPARE(set->value(0, 3), QVariant(QByteArray("\x00\xff", 2)));
        QVERIFY(set->value(0, 4).isNull());
    }

    void readsFollowTheCurrentRow()
    {
        auto set = dataset(QStringLiteral("SELECT K, S, D FROM T ORDER BY rowid"),
                           {{QStringLiteral("K"), db::FieldKind::Integer, 0},
                            {QStringLiteral("D"), db::FieldKind::DateTime, 0}});
        set->open();
        QCOMPARE(set->recordCount(), 4);
        QList<qint64> keys;
        QStringList texts;
        for (set->first(); !set->eof(); set->next()) {
            keys << set->asInteger(QStringLiteral("k"));
            texts << set->asText(QStringLiteral("S"));
        }
        QCOMPARE(keys, (QList<qint64>{1, 2, 3, 0}));
        QCOMPARE(texts, (QStringList{QStringLiteral("egy"), QStringLiteral("kettő"),
                                     QStringLiteral("egy"), QString()}));
        // Past the last row every field reads as empty, as on an empty table.
        QVERIFY(set->eof());
        QCOMPARE(set->asText(QStringLiteral("S")), QString());
        QCOMPARE(set->asInteger(QStringLiteral("K")), 0);
        QVERIFY(!set->asDateTime(QStringLiteral("D")).isValid());
        QVERIFY(!testsupport::dbErrorOf([&] { set->value(QStringLiteral("NINCS")); }).isEmpty());

        set->setCurrentRow(1);
        QCOMPARE(set->asDateTime(QStringLiteral("D")),
                 QDateTime(QDate(2006, 3, 7), QTime(10, 11, 12), Qt::UTC));
        QCOMPARE(set->asText(QStringLiteral("D")), QStringLiteral("2006-03-07 10:11:12"));
    }

    void locateFindsWholeValuesOnly_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("row"); // -1: not found, the current row stays
        QTest::newRow("text") << "S" << QVariant(QStringLiteral("kettő")) << 1;
        QTest::newRow("first of two") << "S" << QVariant(QStringLiteral("egy")) << 0;
        QTest::newRow("part of a text") << "S" << QVariant(QStringLiteral("ket")) << -1;
        QTest::newRow("other letter case") << "S" << QVariant(QStringLiteral("EGY")) << -1;
        QTest::newRow("integer") << "K" << QVariant(3) << 2;
        QTest::newRow("integer as text") << "K" << QVariant(QStringLiteral("3")) << 2;
        QTest::newRow("integer, no such") << "K" << QVariant(9) << -1;
        QTest::newRow("null") << "K" << QVariant() << 3;
        QTest::newRow("day") << "D" << QVariant(QDate(2006, 3, 8)) << 3;
        QTest::newRow("day, not the moment")
            << "D" << QVariant(QDateTime(QDate(2006, 3, 7), QTime(10, 11, 12), Qt::UTC)) << 1;
    }
    void locateFindsWholeValuesOnly()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(int, row);
        auto set = dataset(QStringLiteral("SELECT K, S, D FROM T ORDER BY rowid"),
                           {{QStringLiteral("K"), db::FieldKind::Integer, 0},
                            {QStringLiteral("S"), db::FieldKind::Text, 10},
                            {QStringLiteral("D"), db::FieldKind::DateTime, 0}});
        set->open();
        set->setCurrentRow(2);
        QCOMPARE(set->locate(column, value), row >= 0);
        QCOMPARE(set->currentRow(), row >= 0 ? row : 2);
    }

    void manyRowsStayInPlace()
    {
        auto set = dataset(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 9999) SELECT i AS I, 'x' || i AS S FROM n"),
            {{QStringLiteral("I"), db::FieldKind::Integer, 0}});
        set->open();
        QCOMPARE(set->recordCount(), 10000);
        for (const int row : {0, 4095, 4096, 8191, 8192, 9999})
            QCOMPARE(set->value(row, 0), QVariant(qint64(row)));
        QVERIFY(set->value(10000, 0).isNull());
        QVERIFY(set->locate(QStringLiteral("S"), QStringLiteral("x8193")));
        QCOMPARE(set->currentRow(), 8193);
        QCOMPARE(set->asInteger(QStringLiteral("I")), 8193);
    }

    // Every cell reads as the statement's own value, over chunk boundaries and in columns
    // whose kind changes from row to row, with and without a persistent field.
    void cellsReadAsTheStatementGivesThem()
    {
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9999) "
            "SELECT i AS I, CASE i % 5 WHEN 0 THEN NULL WHEN 1 THEN i * 7 WHEN 2 THEN i / 4.0 "
            "WHEN 3 THEN 'név ' || i ELSE X'00' || i END AS M, "
            "CASE WHEN i % 13 = 0 THEN NULL ELSE 'kód' || (i % 9) END AS C, "
            "CASE WHEN i % 17 = 0 THEN NULL WHEN i < 9000 THEN date('2006-03-07', '+' || (i % 500) "
            "|| ' days') ELSE datetime('2006-03-07', '+' || i || ' seconds') END AS D FROM n");
        auto set = dataset(sql, {{QStringLiteral("D"), db::FieldKind::DateTime, 0},
                                 {QStringLiteral("C"), db::FieldKind::Text, 4}});
        set->open();
        db::Statement reference(m_connection, sql);
        int row = 0;
        while (reference.step()) {
            for (int column = 0; column < 3; ++column) {
                if (set->value(row, column) != reference.value(column))
                    QFAIL(qPrintable(QStringLiteral("row %1, column %2").arg(row).arg(column)));
            }
            const QString day = reference.text(3);
            const QVariant read = set->value(row, 3);
            QCOMPARE(read.isNull(), day.isEmpty());
            if (!day.isEmpty())
                QCOMPARE(db::dateTimeReadingText(read.toDateTime()),
                         day.endsWith(QStringLiteral("00:00:00")) ? day.left(10) : day);
            ++row;
        }
        QCOMPARE(set->recordCount(), row);
        QCOMPARE(row, 10000);
        // A whole number is found as its text as well, among cells of other kinds.
        QVERIFY(set->locate(QStringLiteral("M"), QStringLiteral("60207")));
        QCOMPARE(set->currentRow(), 8601);
        QVERIFY(set->locate(QStringLiteral("M"), QStringLiteral("név 9998")));
        QCOMPARE(set->currentRow(), 9998);
    }

    void signalsFrameEveryOpeningAndMove()
    {
        auto set = dataset(QStringLiteral("SELECT K FROM T"));
        QStringList events;
        connect(set.get(), &db::Dataset::opened, this, [&] { events << QStringLiteral("opened"); });
        connect(set.get(), &db::Dataset::aboutToClose, this,
                [&] { events << QStringLiteral("aboutToClose %1").arg(set->recordCount()); });
        connect(set.get(), &db::Dataset::closed, this,
                [&] { events << QStringLiteral("closed %1").arg(set->isOpen()); });
        connect(set.get(), &db::Dataset::currentRowChanged, this,
                [&](int row) { events << QStringLiteral("row %1").arg(row); });
        set->open();
        set->next();
        set->open(); // reopening closes first
        set->setSql(QStringLiteral("SELECT S FROM T WHERE K = 1"));
        set->close();
        set->close(); // closing a closed dataset says nothing
        set->open();
        set->next();
        set->next(); // stays at the end
        QCOMPARE(events, (QStringList{QStringLiteral("opened"), QStringLiteral("row 1"),
                                      QStringLiteral("aboutToClose 4"), QStringLiteral("closed 0"),
                                      QStringLiteral("opened"), QStringLiteral("aboutToClose 4"),
                                      QStringLiteral("closed 0"), QStringLiteral("opened"),
                                      QStringLiteral("row 1")}));
        QCOMPARE(set->recordCount(), 1);
    }

    void failedOpeningLeavesItClosed()
    {
        auto set = dataset(QStringLiteral("SELECT S FROM T"),
                           {{QStringLiteral("X"), db::FieldKind::Text, 3}});
        QSignalSpy opened(set.get(), &db::Dataset::opened);
        QVERIFY(testsupport::dbErrorOf([&] { set->open(); }).contains(QStringLiteral("X mező")));
        QVERIFY(!set->isOpen());
        QCOMPARE(set->recordCount(), 0);
        QCOMPARE(opened.count(), 0);
    }

    void parametersAreBoundByName()
    {
        auto set = dataset(
            QStringLiteral("SELECT S FROM T WHERE K = :Kulcs OR (:Kulcs IS NULL AND K IS NULL)"));
        QVERIFY(testsupport::dbErrorOf([&] { set->open(); }).contains(QStringLiteral(":Kulcs")));
        set->setParameter(QStringLiteral(":kulcs"), 2);
        set->open();
        QCOMPARE(set->recordCount(), 1);
        QCOMPARE(set->asText(QStringLiteral("S")), QStringLiteral("kettő"));
        set->setParameter(QStringLiteral("Kulcs"), QVariant());
        set->open();
        QCOMPARE(set->recordCount(), 1);
        QVERIFY(set->value(QStringLiteral("S")).isNull());
    }

    void openByNameTakesPlainNamesOnly()
    {
        db::Dataset set;
        set.setConnection(&m_connection);
        set.setTableName(QStringLiteral("T"));
        set.open();
        QCOMPARE(set.recordCount(), 4);
        // A name reaches the statement as it stands on either engine: anything but a plain
        // name is refused before a statement is made of it.
        for (const QString &name :
             {QStringLiteral("Fura \"név\""), QStringLiteral("T; DROP TABLE T"),
              QStringLiteral("T\"; DROP TABLE T; --")}) {
            set.setTableName(name);
            const QString message = testsupport::dbErrorOf([&] { set.open(); });
            QVERIFY2(message.contains(QStringLiteral("Érvénytelen")), qPrintable(message));
        }
        QCOMPARE(m_connection.scalar(QStringLiteral("SELECT count(*) FROM T")).toLongLong(), 4);
    }

    void storedDateTextIsParsedStrictly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("day") << "2006-03-07" << QDateTime(QDate(2006, 3, 7), QTime(0, 0), Qt::UTC);
        QTest::newRow("moment") << "2006-03-07 10:11:12"
                                << QDateTime(QDate(2006, 3, 7), QTime(10, 11, 12), Qt::UTC);
        QTest::newRow("with T") << "2006-03-07T10:11:12"
                                << QDateTime(QDate(2006, 3, 7), QTime(10, 11, 12), Qt::UTC);
        QTest::newRow("hour 24") << "2006-03-07 24:00:00" << QDateTime();
        QTest::newRow("one-digit month") << "2006-3-07" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
    }
    void storedDateTextIsParsedStrictly()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const QDateTime parsed = db::parseStoredDateTime(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(parsed, expected);
            QCOMPARE(parsed.timeSpec(), Qt::UTC);
        }
    }

    // Plain letters are passed in runs; a bad byte is found wherever it stands in or after a
    // run, and a letter cut off at the end of the text is not whole.
    void utf8TextCheckFindsBadBytesAnywhere_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text");
        const QByteArray plain("Kovacs Odon es Nagy Eva");
        QTest::newRow("plain") << plain << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("Hungarian letters after a run") << (plain + "ŐőŰűÁá") << true;
        QTest::newRow("four-byte letter at a run's end")
            << (plain.left(8) + "\xF0\x9F\x98\x80") << true;
        for (const int at : {0, 7, 8, 9, 15, 16, 22}) {
            QByteArray bad = plain;
            bad[at] = char(0xFF);
            QTest::addRow("0xFF at %d", at) << bad << false;
            QByteArray lone = plain;
            lone[at] = char(0x80);
            QTest::addRow("lone continuation at %d", at) << lone << false;
        }
        QTest::newRow("cut off at the end") << (plain.left(16) + "\xC5") << false;
        QTest::newRow("three bytes cut to two") << (plain.left(8) + "\xE2\x82") << false;
        QTest::newRow("overlong") << (plain.left(8) + "\xC0\xAF") << false;
        QTest::newRow("surrogate") << (plain.left(8) + "\xED\xA0\x80") << false;
        QTest::newRow("past the last letter") << (plain.left(8) + "\xF4\x90\x80\x80") << false;
    }
    void utf8TextCheckFindsBadBytesAnywhere()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        QCOMPARE(db::isUtf8Text(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
