#include "dataset/column.h"
#include "dataset/textarena.h"
#include "dataset/textcolumn.h"

#include <QDateTime>
#include <QTest>

#include <functional>

namespace {

// One cell to append: a null QVariant appends a null; a QByteArray a blob.
void appendCell(db::Column &column, const QVariant &cell)
{
    switch (cell.typeId()) {
    case QMetaType::UnknownType:
        column.appendNull();
        break;
    case QMetaType::LongLong:
        column.appendInteger(cell.toLongLong());
        break;
    case QMetaType::Double:
        column.appendFloat(cell.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = cell.toByteArray();
        column.appendBlob(bytes.constData(), bytes.size());
        break;
    }
    case QMetaType::QDateTime: {
        const QDateTime moment = cell.toDateTime();
        column.appendDateTime(moment.date().toJulianDay(),
                              moment.time().msecsSinceStartOfDay() / 1000);
        break;
    }
    default: {
        const QByteArray utf8 = cell.toString().toUtf8();
        column.appendText(utf8.constData(), utf8.size());
        break;
    }
    }
}

using CellOf = std::function<QVariant(int)>;

QVariant day(int row, int seconds = 0)
{
    return QDateTime(QDate(2006, 3, 7).addDays(row % 400),
                     QTime::fromMSecsSinceStartOfDay(seconds * 1000), Qt::UTC);
}

} // namespace

Q_DECLARE_METATYPE(CellOf)

class TestColumnStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every cell reads back as the value it was appended as, whatever came before it: the
    // kinds are kept apart, nulls fall on any bit of their word, and chunks are crossed.
    void cellsReadBackAsAppended_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<CellOf>("cellOf");
        QTest::newRow("whole numbers, nulls here and there") << 9000 << CellOf([](int r) {
            return r % 7 == 3 ? QVariant() : QVariant(qint64(r) * 1000003 - 4000000000LL);
        });
        QTest::newRow("nulls first, then numbers")
            << 5000 << CellOf([](int r) { return r < 4100 ? QVariant() : QVariant(qint64(r)); });
        QTest::newRow("days, a time of day only late")
            << 9000 << CellOf([](int r) { return r < 8200 ? day(r) : day(r, r % 86400); });
        QTest::newRow("a null moment between days") << 300 << CellOf([](int r) {
            return r % 65 == 64 ? QVariant() : day(r, r % 3 == 0 ? 0 : 3600 * 23 + 59 * 61);
        });
        QTest::newRow("kinds mixed late") << 8300 << CellOf([](int r) {
            if (r < 4500)
                return QVariant(qint64(r));
            switch (r % 6) {
            case 0:
                return QVariant(r * 0.25);
            case 1:
                return QVariant(QStringLiteral("szöveg %1").arg(r));
            case 2:
                return QVariant(QByteArray("\x00\xff", 2) + QByteArray::number(r));
            case 3:
                return day(r, r);
            case 4:
                return QVariant();
            default:
                return QVariant(qint64(-r));
            }
        });
        QTest::newRow("codes, then names") << 9000 << CellOf([](int r) {
            if (r % 11 == 0)
                return QVariant();
            return QVariant(r < 3000 ? QStringLiteral("K%1").arg(r % 5)
                                     : QStringLiteral("Kovács Ödön %1").arg(r));
        });
        QTest::newRow("empty texts and nulls") << 200 << CellOf([](int r) {
            return r % 3 == 0 ? QVariant() : QVariant(r % 3 == 1 ? QString() : QStringLiteral("ő"));
        });
    }
    void cellsReadBackAsAppended()
    {
        QFETCH(int, rows);
        QFETCH(CellOf, cellOf);
        db::Column column;
        for (int row = 0; row < rows; ++row)
            appendCell(column, cellOf(row));
        QCOMPARE(column.rowCount(), rows);
        for (int row = 0; row < rows; ++row) {
            const QVariant expected = cellOf(row);
            const QVariant read = column.value(row);
            QCOMPARE(read.typeId(), expected.typeId());
            QCOMPARE(column.isNull(row), !expected.isValid());
            if (read != expected)
                QFAIL(qPrintable(QStringLiteral("row %1: %2 instead of %3")
                                     .arg(row)
                                     .arg(read.toString(), expected.toString())));
            if (read.typeId() == QMetaType::QDateTime)
                QCOMPARE(read.toDateTime().timeSpec(), Qt::UTC);
        }
        QVERIFY(!column.value(rows).isValid());
        QVERIFY(!column.value(-1).isValid());
    }

    // An empty text is a text, not a null, in both ways a column keeps its texts.
    void emptyTextIsNotNull()
    {
        for (const int distinct : {1, 1000}) {
            db::Column column;
            for (int row = 0; row < 1000; ++row) {
                const QByteArray text = row % 2 ? QByteArray() : QByteArray::number(row % distinct);
                column.appendText(text.constData(), text.size());
            }
            QVERIFY(column.value(1).isValid());
            QVERIFY(!column.value(1).toString().isNull());
            QCOMPARE(column.value(1).typeId(), QMetaType::QString);
        }
    }

    // A column of a few codes keeps sharing them; a column of names moves to the arena and
    // keeps every text it had shared before.
    void sharingLastsWhileTextsRepeat_data()
    {
        QTest::addColumn<int>("distinct");
        QTest::addColumn<bool>("shared");
        QTest::newRow("urgency") << 3 << true;
        QTest::newRow("event names") << 40 << true;
        QTest::newRow("a thousand codes") << 1000 << true;
        QTest::newRow("names") << 20000 << false;
    }
    void sharingLastsWhileTextsRepeat()
    {
        QFETCH(int, distinct);
        QFETCH(bool, shared);
        db::TextColumn texts;
        const auto textOf = [distinct](int row) {
            return QStringLiteral("Érték %1").arg(row % distinct).toUtf8();
        };
        for (int row = 0; row < 20000; row += 1 + row % 2) {
            const QByteArray text = textOf(row);
            texts.set(row, text.constData(), text.size());
        }
        QCOMPARE(texts.isShared(), shared);
        // Rows passed over read as empty.
        int row = 0;
        for (; row < 20000; row += 1 + row % 2) {
            QCOMPARE(texts.text(row), QString::fromUtf8(textOf(row)));
            if (row % 2 == 1)
                QCOMPARE(texts.bytes(row + 1), QByteArrayView());
        }
        QCOMPARE(texts.bytes(row), QByteArrayView());
    }

    // Texts never straddle a block: a text bigger than a block gets its own, and those that
    // follow are still found.
    void arenaFindsTextsInEveryBlock()
    {
        db::TextArena arena;
        QList<QByteArray> texts;
        for (int i = 0; i < 400; ++i)
            texts << QByteArray(i % 97 == 5 ? 300 * 1024 + i : 1 + i * 37 % 3000,
                                char('a' + i % 26));
        QList<quint32> ends;
        for (const QByteArray &text : std::as_const(texts))
            ends << arena.append(text.constData(), text.size());
        QCOMPARE(arena.append("", 0), ends.last());
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(arena.bytes(i ? ends[i - 1] : 0, ends[i]), QByteArrayView(texts[i]));
    }
};

QTEST_GUILESS_MAIN(TestColumnStore)
#include "tst_columnstore.moc"
