#include "support/serverdatabase.h"
#include "support/tempdatabase.h"

#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"
#include "db/newdatabase.h"
#include "db/schema.h"
#include "db/sqltext.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using testsupport::dbErrorOf;
using testsupport::insertEntry;
using testsupport::rows;
using testsupport::TempProgramDir;

namespace {

QList<QVariantList> table(std::initializer_list<QVariantList> rows)
{
    return QList<QVariantList>(rows);
}

constexpr int succeeded = -1;
constexpr int refused = int(db::ErrorKind::Constraint);

// The kind of the db::Error the action throws, as a number; succeeded when it throws none.
int failure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const db::Error &error) {
        return int(error.kind());
    }
    return succeeded;
}

// The type each engine's catalogue names for a described column.
QString catalogueType(db::schema::Type type)
{
    const bool server = testsupport::serverEngine();
    switch (type) {
    case db::schema::Type::Serial:
    case db::schema::Type::Integer:
        return QStringLiteral("integer");
    case db::schema::Type::Text:
        return server ? QStringLiteral("character varying") : QStringLiteral("text");
    case db::schema::Type::Day:
        return server ? QStringLiteral("date") : QStringLiteral("datetime");
    case db::schema::Type::Moment:
        break;
    }
    return server ? QStringLiteral("timestamp without time zone") : QStringLiteral("datetime");
}

// The description as each engine should have made it: one line per column, index and saved
// query, in name order.
QStringList describedShape()
{
    QStringList lines;
    for (const db::schema::Table &table : db::schema::tables()) {
        for (const db::schema::Column &c : table.columns)
            lines << QStringLiteral("%1.%2 %3 %4%5")
                         .arg(QLatin1StringView(table.name), QLatin1StringView(c.name),
                              catalogueType(c.type))
                         .arg(c.type == db::schema::Type::Text ? c.width : 0)
                         .arg(c.key || c.type == db::schema::Type::Serial ? u" key"_s : QString());
    }
    for (const db::schema::Index &index : db::schema::indexes()) {
        const bool oneRow = index.kind == db::schema::IndexKind::OneRowOnServer;
        if (oneRow && !testsupport::serverEngine())
            continue;
        lines << QStringLiteral("index %1 on %2 (%3)%4")
                     .arg(QLatin1StringView(index.name), QLatin1StringView(index.table),
                          (db::schema::splitColumns(index.columns)
                           + db::schema::splitColumns(index.included))
                              .join(u','),
                          index.kind == db::schema::IndexKind::Plain ? QString() : u" unique"_s);
    }
    for (const db::schema::SavedQuery &query : db::schema::savedQueries())
        lines << QStringLiteral("query %1").arg(QLatin1StringView(query.name));
    lines.sort();
    return lines;
}

QStringList madeShape(db::Connection &connection)
{
    const db::SchemaShape shape = connection.engine().shape();
    QStringList lines;
    for (const db::TableShape &table : shape.tables) {
        for (const db::ColumnShape &c : table.columns)
            lines << QStringLiteral("%1.%2 %3 %4%5")
                         .arg(table.name, c.name, c.type)
                         .arg(c.width)
                         .arg(c.key ? u" key"_s : QString());
    }
    for (const db::IndexShape &index : shape.indexes)
        lines << QStringLiteral("index %1 on %2 (%3)%4")
                     .arg(index.name, index.table, index.columns.join(u','),
                          index.unique ? u" unique"_s : QString());
    for (const QString &query : shape.savedQueries)
        lines << QStringLiteral("query %1").arg(query);
    lines.sort();
    return lines;
}

db::statements::NewEntry entry(int list, const QString &nev, QDate listara)
{
    db::statements::NewEntry e;
    e.beavtipKod = list;
    e.taj = QStringLiteral("123456782");
    e.nev = nev;
    e.listaraDatum = listara;
    e.surgosseg = QStringLiteral("A");
    e.esemKod = QStringLiteral("VAR");
    e.esemDatum = listara;
    e.insDate = listara;
    return e;
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    db::Connection m_connection;

private Q_SLOTS:
    void init()
    {
        // Days turned into ISO text by triggers and CHECKs, integer affinity, query plans and
        // upgrades are the file's own; the server's counterparts have tests of their own.
        static const QByteArrayList fileOnly{
            "dateColumnsTakeOnlyRealDays", "logDatesAreConvertedButLoggedValuesAreNot",
            "integerColumnsTakeIntegersOnly", "migrationIsAllOrNothing"};
        if (testsupport::serverEngine() && fileOnly.contains(QTest::currentTestFunction()))
            QSKIP("the file engine's own behaviour");
        m_dir = std::make_unique<TempProgramDir>(db::schema::Contents::WithSampleLists);
        m_dir->connect(m_connection);
    }
    void cleanup()
    {
        m_connection.close();
        m_dir.reset();
    }

    void statementTextsStoreValuesAsTyped_data()
    {
        QTest::addColumn<QString>("nev");
        QTest::addColumn<QDate>("listara");
        QTest::addColumn<QString>("stored");
        QTest::newRow("apostrophe")
            << QStringLiteral("O'Brien") << QDate(2006, 3, 7) << "2006-03-07";
        QTest::newRow("month first")
            << QStringLiteral("Kiss Éva") << QDate(2006, 1, 12) << "2006-01-12";
        QTest::newRow("two-digit month and day")
            << QStringLiteral("Őz Űrsula") << QDate(2006, 12, 31) << "2006-12-31";
        QTest::newRow("quotes and semicolon")
            << QStringLiteral("x'); DROP TABLE LISTA; --") << QDate(1999, 2, 28) << "1999-02-28";
    }
    void statementTextsStoreValuesAsTyped()
    {
        QFETCH(QString, nev);
        QFETCH(QDate, listara);
        QFETCH(QString, stored);
        m_connection.execute(db::statements::insertLista(entry(3, nev, listara)));
        const qint64 hivSzam = m_connection.lastInsertRowId();
        QCOMPARE(
            rows(m_connection, QStringLiteral("SELECT HIV_SZAM, BEAVTIP_KOD, NEV, LISTARA_DATUM, "
                                              "ESEM_DATUM, INS_DATE FROM LISTA")),
            table({{hivSzam, qint64(3), nev, stored, stored, stored}}));

        m_connection.execute(
            db::statements::updateListaEvent(QStringLiteral("BEA"), QDate(2007, 1, 2), hivSzam));
        QCOMPARE(rows(m_connection,
                      QStringLiteral("SELECT ESEM_KOD, ESEM_DATUM, LISTARA_DATUM FROM LISTA")),
                 table({{QStringLiteral("BEA"), QStringLiteral("2007-01-02"), stored}}));
    }

    void dateColumnsTakeOnlyRealDays_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("stored"); // null: refused
        QTest::newRow("M/D/YYYY") << QVariant(QStringLiteral("3/7/2006"))
                                  << QVariant(QStringLiteral("2006-03-07"));
        QTest::newRow("leading zeros")
            << QVariant(QStringLiteral("03/07/2006")) << QVariant(QStringLiteral("2006-03-07"));
        QTest::newRow("leap day") << QVariant(QStringLiteral("2/29/2008"))
                                  << QVariant(QStringLiteral("2008-02-29"));
        QTest::newRow("ISO day") << QVariant(QStringLiteral("2006-03-07"))
                                 << QVariant(QStringLiteral("2006-03-07"));
        QTest::newRow("ISO moment") << QVariant(QStringLiteral("2006-03-07 10:11:12"))
                                    << QVariant(QStringLiteral("2006-03-07 10:11:12"));
        QTest::newRow("null") << QVariant() << QVariant(QStringLiteral("(null)"));
        QTest::newRow("30 February") << QVariant(QStringLiteral("2/30/2006")) << QVariant();
        QTest::newRow("29 February, no leap year")
            << QVariant(QStringLiteral("2/29/2007")) << QVariant();
        QTest::newRow("month 13") << QVariant(QStringLiteral("13/1/2006")) << QVariant();
        QTest::newRow("day first") << QVariant(QStringLiteral("25/12/2006")) << QVariant();
        QTest::newRow("two-digit year") << QVariant(QStringLiteral("1/12/06")) << QVariant();
        QTest::newRow("ISO 30 February") << QVariant(QStringLiteral("2006-02-30")) << QVariant();
        QTest::newRow("ISO without zeros") << QVariant(QStringLiteral("2006-3-7")) << QVariant();
        QTest::newRow("garbage") << QVariant(QStringLiteral("tegnap")) << QVariant();
        QTest::newRow("trailing text") << QVariant(QStringLiteral("3/7/2006x")) << QVariant();
        QTest::newRow("empty") << QVariant(QStringLiteral("")) << QVariant();
        QTest::newRow("a number") << QVariant(qint64(38783)) << QVariant();
    }
    void dateColumnsTakeOnlyRealDays()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, stored);
        const QStringList columns{QStringLiteral("LISTARA_DATUM"), QStringLiteral("ESEM_DATUM"),
                                  QStringLiteral("INS_DATE")};
        for (const QString &column : columns) {
            db::Statement insert(m_connection, QStringLiteral("INSERT INTO LISTA (BEAVTIP_KOD, %1) "
                                                              "VALUES (1, ?)")
                                                   .arg(column));
            insert.bind(1, value);
            const int rc = failure([&] { insert.step(); });
            if (stored.isNull()) {
                QCOMPARE(rc, refused);
                continue;
            }
            QCOMPARE(rc, succeeded);
            const qint64 id = m_connection.lastInsertRowId();
            const QVariant read = m_connection.scalar(
                QStringLiteral("SELECT ifnull(%1, '(null)') FROM LISTA WHERE HIV_SZAM = %2")
                    .arg(column)
                    .arg(id));
            QCOMPARE(read, stored);

            // An UPDATE of the column is turned into a day the same way.
            db::Statement update(
                m_connection,
                QStringLiteral("UPDATE LISTA SET %1 = ? WHERE HIV_SZAM = %2").arg(column).arg(id));
            update.bind(1, value);
            update.step();
            QCOMPARE(
                m_connection.scalar(QStringLiteral("SELECT ifnull(%1, '(null)') FROM LISTA WHERE "
                                                   "HIV_SZAM = %2")
                                        .arg(column)
                                        .arg(id)),
                stored);
        }
        if (stored.isNull())
            QCOMPARE(m_connection.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(),
                     0);
    }

    void logDatesAreConvertedButLoggedValuesAreNot()
    {
        m_connection.execute(QStringLiteral("INSERT INTO LOG (DATUM, HIV_SZAM, MEZO, REGI_ERTEK, "
                                            "UJ_ERTEK) VALUES ('1/12/2006', '5', 'ESEM_DATUM', "
                                            "'1/12/2006', '1/13/2006')"));
        QCOMPARE(rows(m_connection, QStringLiteral("SELECT DATUM, HIV_SZAM, MEZO, REGI_ERTEK, "
                                                   "UJ_ERTEK FROM LOG")),
                 table({{QStringLiteral("2006-01-12"), qint64(5), QStringLiteral("ESEM_DATUM"),
                         QStringLiteral("1/12/2006"), QStringLiteral("1/13/2006")}}));
    }

    void widthsAreEnforced_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        for (const db::schema::Table &table : db::schema::tables()) {
            for (const db::schema::Column &c : table.columns) {
                if (c.type == db::schema::Type::Text)
                    QTest::addRow("%s.%s", table.name, c.name)
                        << QString::fromLatin1(table.name) << QString::fromLatin1(c.name);
            }
        }
    }
    void widthsAreEnforced()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const db::schema::Column &described = db::schema::column(table, column);
        // A list needs its code: the server numbers none by itself.
        const bool keyed = table == u"BEAV_TIP";
        db::Statement insert(m_connection,
                             QStringLiteral("INSERT INTO %1 (%2%3) VALUES (?%4)")
                                 .arg(table, column,
                                      keyed ? QStringLiteral(", BEAVTIP_KOD") : QString(),
                                      keyed ? QStringLiteral(", 900") : QString()));
        // Widths count characters, so a full field of Hungarian letters fits.
        const QString letter
            = described.allowed ? QString(QLatin1Char(described.allowed[0])) : QStringLiteral("ő");
        const QString full = letter.repeated(described.width);
        insert.bind(1, full);
        QCOMPARE(failure([&] { insert.step(); }), succeeded);
        db::Statement remove(m_connection,
                             QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, column));
        remove.bind(1, full);
        remove.step();
        insert.reset();
        insert.bind(1, full + letter);
        QCOMPARE(failure([&] { insert.step(); }), refused);
    }

    void schemaIsWhatTheDescriptionSays_data()
    {
        QTest::addColumn<int>("madeAt");
        QTest::newRow("made new") << db::schema::currentVersion;
        // The server's first version was the one its move-up made.
        QTest::newRow("upgraded") << (testsupport::serverEngine() ? 2 : 1);
    }
    void schemaIsWhatTheDescriptionSays()
    {
        QFETCH(int, madeAt);
        db::Connection made;
        if (testsupport::serverEngine()) {
            made.openServer(testsupport::newServerDatabase(),
                            db::Connection::Mode::ExistingAnyVersion);
        } else {
            made.open(m_dir->path() + QStringLiteral("uj.adat"), db::Connection::Mode::CreateNew);
        }
        {
            db::WriteTransaction transaction(made);
            made.engine().createSchema(madeAt);
            transaction.commit();
        }
        QCOMPARE(db::schema::upgradeDatabase(made), madeAt);
        QCOMPARE(made.schemaVersion(), db::schema::currentVersion);
        QCOMPARE(madeShape(made), describedShape());
    }

    void integerColumnsTakeIntegersOnly()
    {
        // The statements write some integers between quotes; the file keeps them as integers.
        m_connection.execute(QStringLiteral("INSERT INTO LISTA (BEAVTIP_KOD) VALUES ('3')"));
        QCOMPARE(m_connection.scalar(QStringLiteral("SELECT typeof(BEAVTIP_KOD) FROM LISTA")),
                 QVariant(QStringLiteral("integer")));
        QCOMPARE(failure([&] {
                     m_connection.execute(
                         QStringLiteral("INSERT INTO LISTA (BEAVTIP_KOD) VALUES ('3a')"));
                 }),
                 refused);
        QCOMPARE(failure([&] {
                     m_connection.execute(QStringLiteral("INSERT INTO LOG (HIV_SZAM) VALUES ('')"));
                 }),
                 refused);
    }

    void upgradeKeepsEveryRow_data()
    {
        QTest::addColumn<int>("version");
        // The server's first version was the one its move-up made.
        for (int version = testsupport::serverEngine() ? 2 : 1;
             version < db::schema::currentVersion; ++version)
            QTest::addRow("from version %d", version) << version;
    }
    void upgradeKeepsEveryRow()
    {
        QFETCH(int, version);
        db::Connection old;
        QString server;
        const QString path = m_dir->path() + QStringLiteral("regi.adat");
        if (testsupport::serverEngine()) {
            server = testsupport::newServerDatabase();
            old.openServer(server, db::Connection::Mode::ExistingAnyVersion);
        } else {
            old.open(path, db::Connection::Mode::CreateNew);
        }
        db::schema::fillNewDatabase(old, db::schema::Contents::Empty, version);
        insertEntry(old, 1, QStringLiteral("123456782"), QStringLiteral("O'Brien"),
                    QDate(2006, 1, 12));
        insertEntry(old, 12, QStringLiteral("111111110"), QStringLiteral("Kiss"),
                    QDate(2006, 3, 7));
        // Changes of one moment: only the order they were written in tells them apart.
        for (const char *value : {"D", "B", "C", "A"})
            old.execute(QStringLiteral("INSERT INTO LOG (DATUM, HIV_SZAM, MEZO, UJ_ERTEK) VALUES "
                                       "('2006-03-07 10:00:00', 1, 'ESEM_KOD', '%1')")
                            .arg(QLatin1StringView(value)));
        old.close();
        const auto reopen = [&](db::Connection &connection) {
            if (server.isEmpty())
                connection.open(path);
            else
                connection.openServer(server);
        };
        db::Connection refused;
        QVERIFY(dbErrorOf([&] { reopen(refused); }).contains(QStringLiteral("régebbi")));

        db::Connection upgraded;
        if (server.isEmpty())
            upgraded.open(path, db::Connection::Mode::ExistingAnyVersion);
        else
            upgraded.openServer(server, db::Connection::Mode::ExistingAnyVersion);
        QCOMPARE(db::schema::upgradeDatabase(upgraded), version);
        QCOMPARE(db::schema::upgradeDatabase(upgraded), db::schema::currentVersion);
        upgraded.close();
        reopen(upgraded);
        QCOMPARE(
            rows(upgraded,
                 QStringLiteral("SELECT BEAVTIP_KOD, NEV, LISTARA_DATUM FROM LISTA ORDER BY 1")),
            table({{qint64(1), QStringLiteral("O'Brien"), QStringLiteral("2006-01-12")},
                   {qint64(12), QStringLiteral("Kiss"), QStringLiteral("2006-03-07")}}));
        QCOMPARE(upgraded.scalar(QStringLiteral("SELECT count(*) FROM ESEMENY")).toLongLong(), 7);
        // The log keeps its order, and a new change goes after every earlier one.
        upgraded.execute(db::statements::insertLogEventCode(
            QStringLiteral("1"), QStringLiteral("VAR"), QStringLiteral("E")));
        QCOMPARE(rows(upgraded, QStringLiteral("SELECT UJ_ERTEK FROM LOG ORDER BY SORSZAM")),
                 table({{QStringLiteral("D")},
                        {QStringLiteral("B")},
                        {QStringLiteral("C")},
                        {QStringLiteral("A")},
                        {QStringLiteral("E")}}));
    }

    void migrationIsAllOrNothing()
    {
        // The file already holds version 2's index name as a table: the upgrade must fail
        // whole, leaving version 1 behind.
        const QString path = m_dir->path() + QStringLiteral("felig.adat");
        {
            db::Connection old;
            old.open(path, db::Connection::Mode::CreateNew);
            db::WriteTransaction transaction(old);
            old.engine().createSchema(1);
            transaction.commit();
            old.execute(QStringLiteral("CREATE TABLE LISTA_TAJ (X)"));
        }
        QVERIFY_THROWS_EXCEPTION(db::Error, db::schema::upgradeDatabase(path));
        db::Connection after;
        after.open(path, db::Connection::Mode::ExistingAnyVersion);
        QCOMPARE(after.schemaVersion(), 1);
        QCOMPARE(after
                     .scalar(QStringLiteral(
                         "SELECT count(*) FROM sqlite_master WHERE name = 'LISTA_TAGOK'"))
                     .toLongLong(),
                 0);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
