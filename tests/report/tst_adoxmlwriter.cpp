#include "report/adoxmlwriter.h"

#include "dataset/fielddef.h"
#include "dataset/fields.h"
#include "db/error.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <array>

using Row = std::array<QVariant, 8>;
Q_DECLARE_METATYPE(Row)

namespace {

QVariant day(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0)
{
    // Stored wall-clock time, as the dataset hands it over.
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC);
}

const QVariant null;

QVariant number(qint64 n)
{
    return QVariant::fromValue(n);
}

QVariant text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

using Attributes = QHash<QString, QString>;

Attributes attributes(std::initializer_list<std::pair<const char *, const char *>> pairs)
{
    Attributes result;
    for (const auto &[name, value] : pairs)
        result.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    return result;
}

// The two rows of the format's worked example.
QList<Row> exampleRows()
{
    return {
        Row{text("SZÍV"), text("KARD'ŐR"), number(2), day(2006, 3, 7), number(1041), text("S"),
            text("MŰT"), day(2006, 4, 12, 8, 30)},
        Row{text("SEB"), text("Ű&<T>"), number(-1), day(2006, 3, 8), number(1042), text(""), null,
            null},
    };
}

QByteArray write(const QList<Row> &rows)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report::AdoXmlWriter writer(buffer);
    for (const Row &row : rows)
        writer.writeRow(row);
    writer.finish();
    return buffer.data();
}

QByteArray golden(const char *name)
{
    QFile file(QStringLiteral(ZAZADOROZ_TEST_DATA "/report/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing golden file %s", name);
    return file.readAll();
}

// The row elements of a written file, each with its continuation lines.
QByteArray dataSection(const QByteArray &xml)
{
    const qsizetype from = xml.indexOf("<rs:data>\r\n") + 11;
    return xml.mid(from, xml.indexOf("</rs:data>") - from);
}

// Accepts a set number of bytes, then fails as a full disk does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity)
    {
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        if (m_written + len > m_capacity) {
            setErrorString(QStringLiteral("Nincs több hely a lemezen"));
            return -1;
        }
        m_written += len;
        return len;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

} // namespace

class TestAdoXmlWriter : public QObject
{
    Q_OBJECT
private slots:
    void writesTheWorkedExamples_data();
    void writesTheWorkedExamples();
    void wrapsRowsAtTheirUtf8Width_data();
    void wrapsRowsAtTheirUtf8Width();
    void readsBackWhatWasWritten();
    void refusesValuesTheFormatCannotHold_data();
    void refusesValuesTheFormatCannotHold();
    void takesStoredValuesAsTheStatementGivesThem_data();
    void takesStoredValuesAsTheStatementGivesThem();
    void reportsADeviceThatFailsPartWay_data();
    void reportsADeviceThatFailsPartWay();
    void columnsDeclareTheirTablesAndKey();
    void passesTheFormatChecker();
};

void TestAdoXmlWriter::writesTheWorkedExamples_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("apostrophe, escapes, Hungarian letters, empty text, nulls")
        << exampleRows() << golden("tworows.xml");
    QTest::newRow("only the reference number")
        << QList<Row>{Row{null, null, null, null, number(7), null, null, null}}
        << golden("keyonly.xml");
    QTest::newRow("no rows") << QList<Row>{} << golden("norows.xml");
}

void TestAdoXmlWriter::writesTheWorkedExamples()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QByteArray, expected);
    QCOMPARE(write(rows), expected);
}

void TestAdoXmlWriter::wrapsRowsAtTheirUtf8Width_data()
{
    QTest::addColumn<QString>("intkod");
    QTest::addColumn<QString>("finkod");
    QTest::addColumn<QByteArray>("expected");
    // Up to HIV_SZAM these lines hold 106 bytes of plain text; Í, Ő and &#x27; add bytes.
    QTest::newRow("106 bytes: SURGOSSEG stays on the line")
        << QStringLiteral("SZÍV") << QStringLiteral("123456789")
        << QByteArray("\t<z:row INTKOD='SZÍV' FINKOD='123456789' BEAVTIP_KOD='1' "
                      "LISTARA_DATUM='2006-03-07T00:00:00' HIV_SZAM='10' SURGOSSEG='H'\r\n"
                      "\t\t ESEM_KOD='VAR' ESEM_DATUM='2006-03-07T00:00:00'/>\r\n");
    QTest::newRow("107 bytes in 105 characters: break before SURGOSSEG")
        << QStringLiteral("SZÍV") << QStringLiteral("12345678Ő")
        << QByteArray("\t<z:row INTKOD='SZÍV' FINKOD='12345678Ő' BEAVTIP_KOD='1' "
                      "LISTARA_DATUM='2006-03-07T00:00:00' HIV_SZAM='10'\r\n"
                      "\t\t SURGOSSEG='H' ESEM_KOD='VAR' ESEM_DATUM='2006-03-07T00:00:00'/>\r\n");
    QTest::newRow("a character reference counts with its written length")
        << QStringLiteral("SZIV") << QStringLiteral("1234567'8")
        << QByteArray("\t<z:row INTKOD='SZIV' FINKOD='1234567&#x27;8' BEAVTIP_KOD='1' "
                      "LISTARA_DATUM='2006-03-07T00:00:00' HIV_SZAM='10'\r\n"
                      "\t\t SURGOSSEG='H' ESEM_KOD='VAR' ESEM_DATUM='2006-03-07T00:00:00'/>\r\n");
}

void TestAdoXmlWriter::wrapsRowsAtTheirUtf8Width()
{
    QFETCH(QString, intkod);
    QFETCH(QString, finkod);
    QFETCH(QByteArray, expected);
    const Row row{intkod,     finkod,    number(1),   day(2006, 3, 7),
                  number(10), text("H"), text("VAR"), day(2006, 3, 7)};
    QCOMPARE(dataSection(write({row})), expected);
}

void TestAdoXmlWriter::readsBackWhatWasWritten()
{
    const QList<Row> rows{
        Row{text("\t\r\nő"), text("a'b&c<d>\""), number(-2147483647 - 1),
            day(9999, 12, 31, 23, 59, 59), number(2147483647), text("ű"), text("\xF0\x9F\x98\x80x"),
            day(100, 1, 1)},
        Row{null, text(""), null, null, number(1), null, null, null},
    };
    const QList<Attributes> expected{
        attributes({{"INTKOD", "\t\r\nő"},
                    {"FINKOD", "a'b&c<d>\""},
                    {"BEAVTIP_KOD", "-2147483648"},
                    {"LISTARA_DATUM", "9999-12-31T23:59:59"},
                    {"HIV_SZAM", "2147483647"},
                    {"SURGOSSEG", "ű"},
                    {"ESEM_KOD", "\xF0\x9F\x98\x80x"},
                    {"ESEM_DATUM", "0100-01-01T00:00:00"}}),
        attributes({{"FINKOD", ""}, {"HIV_SZAM", "1"}}),
    };

    QXmlStreamReader reader(write(rows));
    QList<Attributes> read;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != u"row"
            || reader.namespaceUri() != u"#RowsetSchema")
            continue;
        Attributes values;
        for (const QXmlStreamAttribute &a : reader.attributes())
            values.insert(a.name().toString(), a.value().toString());
        read.append(values);
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(read, expected);
}

void TestAdoXmlWriter::refusesValuesTheFormatCannotHold_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("control character") << 1 << text("12\x01") << QStringLiteral("U+0001");
    QTest::newRow("escape character") << 6 << text("\x1b") << QStringLiteral("U+001B");
    QTest::newRow("lone surrogate")
        << 6 << QVariant(QString(QChar(0xD800))) << QStringLiteral("nem tárolható karakter");
    QTest::newRow("U+FFFF") << 1 << QVariant(QString(QChar(0xFFFF)))
                            << QStringLiteral("nem tárolható karakter");
    QTest::newRow("five characters in a field of four")
        << 0 << text("SZÍVE") << QStringLiteral("5 karakter áll, de legfeljebb 4");
    QTest::newRow("beyond 32 bits") << 2 << number(2147483648LL) << QStringLiteral("32 biten");
    QTest::newRow("below 32 bits") << 2 << number(-2147483649LL) << QStringLiteral("32 biten");
    QTest::newRow("text in an integer column") << 2 << text("2x") << QStringLiteral("nem egész");
    QTest::newRow("integer with a fraction") << 2 << QVariant(2.5) << QStringLiteral("nem egész");
    QTest::newRow("invalid date") << 3 << QVariant(QDateTime()) << QStringLiteral("nem dátum");
    QTest::newRow("text in a date column")
        << 7 << text("2006-03-07") << QStringLiteral("nem dátum");
    QTest::newRow("five-digit year") << 7 << day(10000, 1, 1) << QStringLiteral("(10000)");
    QTest::newRow("year before a variant date") << 3 << day(99, 12, 31) << QStringLiteral("(99)");
}

void TestAdoXmlWriter::refusesValuesTheFormatCannotHold()
{
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QString, reason);
    Row bad = exampleRows().at(1);
    bad[column] = value;

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report::AdoXmlWriter writer(buffer);
    writer.writeRow(exampleRows().at(0));
    try {
        writer.writeRow(bad);
        QFAIL("the row was written");
    } catch (const db::Error &e) {
        const QString name = QLatin1String(report::reportColumns()[column].name);
        // The row's entry is named by its reference number: the TAJ is not in the report.
        QVERIFY2(e.message().startsWith(QStringLiteral("A(z) 1042 hivatkozási számú bejegyzés ")
                                        + name + QStringLiteral(" mező")),
                 qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QCOMPARE(writer.rowCount(), 1);
}

void TestAdoXmlWriter::takesStoredValuesAsTheStatementGivesThem_data()
{
    // What the statement hands over: the stored day text, whole numbers kept as text, and
    // bytes that are no UTF-8 at all. An empty reason means the row is written.
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("reason");
    QTest::newRow("day") << 3 << QByteArray("2006-03-07") << QByteArray("2006-03-07T00:00:00")
                         << QString();
    QTest::newRow("day and time") << 7 << QByteArray("2006-04-12 08:30:59")
                                  << QByteArray("2006-04-12T08:30:59") << QString();
    QTest::newRow("day and time with T")
        << 7 << QByteArray("2006-04-12T08:30:00") << QByteArray("2006-04-12T08:30:00") << QString();
    QTest::newRow("30 February") << 3 << QByteArray("2006-02-30") << QByteArray()
                                 << QStringLiteral("nem dátum");
    QTest::newRow("month/day/year")
        << 3 << QByteArray("3/7/2006") << QByteArray() << QStringLiteral("nem dátum");
    QTest::newRow("25 o'clock") << 7 << QByteArray("2006-04-12 25:00:00") << QByteArray()
                                << QStringLiteral("nem dátum");
    QTest::newRow("five-digit year")
        << 7 << QByteArray("10000-01-01") << QByteArray() << QStringLiteral("(10000)");
    QTest::newRow("year 99") << 3 << QByteArray("0099-12-31") << QByteArray()
                             << QStringLiteral("(99)");
    QTest::newRow("number kept as text")
        << 2 << QByteArray("-12") << QByteArray("-12") << QString();
    QTest::newRow("number with a blank")
        << 2 << QByteArray(" 12") << QByteArray() << QStringLiteral("nem egész");
    QTest::newRow("four-byte character counts two")
        << 0 << QByteArray("AB\xF0\x9F\x98\x80") << QByteArray("AB\xF0\x9F\x98\x80") << QString();
    QTest::newRow("four-byte character past the width")
        << 0 << QByteArray("ABC\xF0\x9F\x98\x80") << QByteArray()
        << QStringLiteral("5 karakter áll");
    QTest::newRow("cut UTF-8 sequence")
        << 1 << QByteArray("12\xC5") << QByteArray() << QStringLiteral("nem tárolható karakter");
    QTest::newRow("overlong UTF-8")
        << 1 << QByteArray("\xC0\xAF") << QByteArray() << QStringLiteral("nem tárolható karakter");
    QTest::newRow("surrogate in UTF-8") << 6 << QByteArray("\xED\xA0\x80") << QByteArray()
                                        << QStringLiteral("nem tárolható karakter");
}

void TestAdoXmlWriter::takesStoredValuesAsTheStatementGivesThem()
{
    QFETCH(int, column);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, written);
    QFETCH(QString, reason);
    using Kind = report::ReportCell::Kind;
    std::array<report::ReportCell, 8> cells{};
    cells[4] = {Kind::Integer, 7, {}};
    const auto columnKind = report::reportColumns()[std::size_t(column)].kind;
    cells[std::size_t(column)]
        = {columnKind == db::FieldKind::DateTime ? Kind::Date : Kind::Text, 0, stored};

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report::AdoXmlWriter writer(buffer);
    try {
        writer.writeRow(cells);
        writer.finish();
        QVERIFY2(reason.isEmpty(), "the value was written");
    } catch (const db::Error &e) {
        QVERIFY2(!reason.isEmpty(), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        QCOMPARE(writer.rowCount(), 0);
        return;
    }
    const QByteArray name = report::reportColumns()[std::size_t(column)].name;
    QVERIFY2(dataSection(buffer.data()).contains(" " + name + "='" + written + "'"),
             buffer.data().constData());
}

void TestAdoXmlWriter::reportsADeviceThatFailsPartWay_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::newRow("nothing fits") << qint64(0);
    QTest::newRow("fails after the first megabyte") << qint64(1024 * 1024);
}

void TestAdoXmlWriter::reportsADeviceThatFailsPartWay()
{
    QFETCH(qint64, capacity);
    FailingDevice device(capacity);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    Row row = exampleRows().at(0);
    try {
        report::AdoXmlWriter writer(device);
        for (int i = 0; i < 20000; ++i) {
            row[4] = number(i);
            writer.writeRow(row);
        }
        writer.finish();
        QFAIL("the failure went unnoticed");
    } catch (const db::Error &e) {
        QCOMPARE(e.message(), QStringLiteral("A jelentés állományának írása nem sikerült: "
                                             "Nincs több hely a lemezen"));
    }
}

void TestAdoXmlWriter::columnsDeclareTheirTablesAndKey()
{
    using namespace Qt::StringLiterals;
    // Each column's base table, and the one key: what the loader needs besides the fields.
    QStringList declared;
    for (const report::AdoColumn &column : report::reportColumns())
        declared << QStringLiteral("%1.%2%3").arg(
            QLatin1String(column.baseTable), QLatin1String(column.name),
            column.autoincrement ? QStringLiteral(" key") : QString());
    QCOMPARE(declared,
             (QStringList{u"OSZTALY.INTKOD"_s, u"OSZTALY.FINKOD"_s, u"LISTA.BEAVTIP_KOD"_s,
                          u"LISTA.LISTARA_DATUM"_s, u"LISTA.HIV_SZAM key"_s, u"LISTA.SURGOSSEG"_s,
                          u"LISTA.ESEM_KOD"_s, u"LISTA.ESEM_DATUM"_s}));
}

void TestAdoXmlWriter::passesTheFormatChecker()
{
    const QString checker = QStringLiteral(ADOXML_CHECKER);
    if (!QFileInfo::exists(checker) || QStringLiteral(PYTHON3_EXECUTABLE).isEmpty()) {
        // CI has the checker beside the checkout: there, its absence is a fault of the set-up.
        if (qEnvironmentVariable("CI") == u"true")
            QFAIL("the ADO XML checker (or Python 3) is missing in CI");
        QSKIP("the ADO XML checker (or Python 3) is not on this machine");
    }
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("jelentes.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QList<Row> rows = exampleRows();
    rows.append(Row{text("\t\r\n"), text("a'b&c<d>\""), number(0), day(2006, 2, 28, 23, 59, 59),
                    number(5), text("ő"), text("É\nű"), day(2004, 2, 29)});
    file.write(write(rows));
    file.close();

    QProcess process;
    process.start(QStringLiteral(PYTHON3_EXECUTABLE),
                  {checker, QStringLiteral("--strict"), file.fileName()});
    QVERIFY(process.waitForFinished(30000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardOutput().constData());
}

QTEST_GUILESS_MAIN(TestAdoXmlWriter)
#include "tst_adoxmlwriter.moc"
