#include "schema.h"

#include "connection.h"
#include "error.h"
#include "statement.h"
#include "writetransaction.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <iterator>

namespace db::schema {

namespace {

// Statement texts write every day as M/D/YYYY; the file keeps ISO text, so that ORDER BY
// sorts by day and every client reads the same. The conversion lives in the file (CHECKs and
// triggers in plain SQL), so another program writing M/D/YYYY gets it too.

// M/D/YYYY with a one- or two-digit month and day.
QString isMonthDayYear(const QString &x)
{
    const QString yyyy = QStringLiteral("[0-9][0-9][0-9][0-9]'");
    return u'(' + x + QStringLiteral(" GLOB '[0-9]/[0-9]/") + yyyy + QStringLiteral(" OR ") + x
           + QStringLiteral(" GLOB '[0-9][0-9]/[0-9]/") + yyyy + QStringLiteral(" OR ") + x
           + QStringLiteral(" GLOB '[0-9]/[0-9][0-9]/") + yyyy + QStringLiteral(" OR ") + x
           + QStringLiteral(" GLOB '[0-9][0-9]/[0-9][0-9]/") + yyyy + u')';
}

// CAST reads the leading digits only: of the whole text the month, of the text after the
// first '/' the day.
QString monthDayYearToIso(const QString &x)
{
    return QStringLiteral("printf('%04d-%02d-%02d', CAST(substr(") + x
           + QStringLiteral(", -4) AS INTEGER), CAST(") + x
           + QStringLiteral(" AS INTEGER), CAST(substr(") + x + QStringLiteral(", instr(") + x
           + QStringLiteral(", '/') + 1) AS INTEGER))");
}

// A stored day or moment, or M/D/YYYY of a real day; '+0 days' turns 2/30 into 3/2, so a
// day that does not exist never compares equal.
QString dateCheck(const QString &column)
{
    const QString iso = monthDayYearToIso(column);
    return QStringLiteral("CHECK (") + column + QStringLiteral(" IS NULL OR date(") + column
           + QStringLiteral(", '+0 days') IS ") + column + QStringLiteral(" OR datetime(") + column
           + QStringLiteral(", '+0 days') IS ") + column + QStringLiteral(" OR (")
           + isMonthDayYear(column) + QStringLiteral(" AND date(") + iso
           + QStringLiteral(", '+0 days') IS ") + iso + QStringLiteral("))");
}

QString widthCheck(const QString &column, int width)
{
    return QStringLiteral("CHECK (length(%1) <= %2)").arg(column).arg(width);
}

// This SQLite checks the value before the column's affinity turns '3' into 3, so a whole
// number in text passes too (statement texts write integers between quotes).
QString integerCheck(const QString &column)
{
    return QStringLiteral("CHECK (typeof(%1) IN ('integer', 'null') OR (typeof(%1) = 'text' AND "
                          "CAST(CAST(%1 AS INTEGER) AS TEXT) IS %1))")
        .arg(column);
}

QString textColumn(const QString &column, int width)
{
    return column + QStringLiteral(" TEXT ") + widthCheck(column, width);
}

QString integerColumn(const QString &column)
{
    return column + QStringLiteral(" INTEGER ") + integerCheck(column);
}

QString dateColumn(const QString &column)
{
    return column + QStringLiteral(" DATETIME ") + dateCheck(column);
}

QString table(const QString &name, const QStringList &columns)
{
    return QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (\n    ")
           + columns.join(QStringLiteral(",\n    ")) + QStringLiteral("\n)");
}

// The row just written gets its M/D/YYYY days rewritten as ISO text; the CHECKs have
// already let through only real days.
QStringList dateTriggers(const QString &tableName, const QStringList &columns)
{
    QStringList when;
    QStringList assignments;
    for (const QString &column : columns) {
        when << QStringLiteral("instr(NEW.") + column + QStringLiteral(", '/')");
        assignments << column + QStringLiteral(" = CASE WHEN instr(") + column
                           + QStringLiteral(", '/') THEN ") + monthDayYearToIso(column)
                           + QStringLiteral(" ELSE ") + column + QStringLiteral(" END");
    }
    const QString body = QStringLiteral("\nWHEN ") + when.join(QStringLiteral(" OR "))
                         + QStringLiteral("\nBEGIN\n    UPDATE ") + tableName
                         + QStringLiteral(" SET ") + assignments.join(QStringLiteral(",\n        "))
                         + QStringLiteral("\n    WHERE rowid = NEW.rowid;\nEND");
    return {QStringLiteral("CREATE TRIGGER ") + tableName
                + QStringLiteral("_DATUM_BESZUR AFTER INSERT ON ") + tableName + body,
            QStringLiteral("CREATE TRIGGER ") + tableName
                + QStringLiteral("_DATUM_MODOSIT AFTER UPDATE OF ")
                + columns.join(QStringLiteral(", ")) + QStringLiteral(" ON ") + tableName + body};
}

// The list summaries count in a correlated subquery, so a list whose entries all left
// still shows, with 0.
QString summaryView(const QString &name, const QString &kindCondition)
{
    return QStringLiteral("CREATE VIEW ") + name
           + QStringLiteral(
               " AS\n"
               "SELECT BEAV_TIP.BEAVTIP_KOD AS BEAVTIP_KOD, BEAV_TIP.BEAVTIP_NEV AS BEAVTIP_NEV,\n"
               "    (SELECT count(*) FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = "
               "ESEMENY.ES_KOD\n"
               "     WHERE LISTA.BEAVTIP_KOD = BEAV_TIP.BEAVTIP_KOD AND ESEMENY.LISTAN = 'I') AS "
               "Listatagok\n"
               "FROM BEAV_TIP")
           + kindCondition + QStringLiteral("\nORDER BY BEAV_TIP.BEAVTIP_KOD");
}

QStringList version1()
{
    const QString lista = QStringLiteral("LISTA");
    QStringList steps;
    steps << table(QStringLiteral("OSZTALY"), {textColumn(QStringLiteral("INTKOD"), 4),
                                               textColumn(QStringLiteral("FINKOD"), 9),
                                               textColumn(QStringLiteral("JAROFEKVO"), 1),
                                               textColumn(QStringLiteral("OSZTALYNEV"), 50),
                                               textColumn(QStringLiteral("JELSZO"), 8)})
          << table(lista,
                   {QStringLiteral("HIV_SZAM INTEGER PRIMARY KEY AUTOINCREMENT"),
                    integerColumn(QStringLiteral("BEAVTIP_KOD")),
                    textColumn(QStringLiteral("TAJ"), 9), textColumn(QStringLiteral("NEV"), 50),
                    dateColumn(QStringLiteral("LISTARA_DATUM")),
                    textColumn(QStringLiteral("SURGOSSEG"), 1),
                    textColumn(QStringLiteral("ESEM_KOD"), 3),
                    dateColumn(QStringLiteral("ESEM_DATUM")),
                    dateColumn(QStringLiteral("INS_DATE"))})
          << table(QStringLiteral("ESEMENY"), {textColumn(QStringLiteral("ES_KOD"), 3),
                                               textColumn(QStringLiteral("ES_NEV"), 150),
                                               textColumn(QStringLiteral("LISTAN"), 1)})
          << table(QStringLiteral("BEAV_TIP"),
                   {QStringLiteral("BEAVTIP_KOD INTEGER PRIMARY KEY"),
                    textColumn(QStringLiteral("BEAVTIP_NEV"), 50),
                    QStringLiteral("BEAVTIP_FAJTA TEXT CHECK (BEAVTIP_FAJTA IN ('V', 'B', 'J'))")})
          << table(QStringLiteral("LOG"),
                   {dateColumn(QStringLiteral("DATUM")), integerColumn(QStringLiteral("HIV_SZAM")),
                    textColumn(QStringLiteral("MEZO"), 10),
                    textColumn(QStringLiteral("REGI_ERTEK"), 50),
                    textColumn(QStringLiteral("UJ_ERTEK"), 50)})
          // The program finds an event by its code and by its name: neither may repeat.
          << QStringLiteral("CREATE UNIQUE INDEX ESEMENY_KOD ON ESEMENY (ES_KOD)")
          << QStringLiteral("CREATE UNIQUE INDEX ESEMENY_NEV ON ESEMENY (ES_NEV)");
    steps << dateTriggers(lista, {QStringLiteral("LISTARA_DATUM"), QStringLiteral("ESEM_DATUM"),
                                  QStringLiteral("INS_DATE")});
    steps << dateTriggers(QStringLiteral("LOG"), {QStringLiteral("DATUM")});
    steps << summaryView(QStringLiteral("QZAZADOROZDB"),
                         QStringLiteral("\nWHERE BEAV_TIP.BEAVTIP_FAJTA = 'V'"))
          << summaryView(QStringLiteral("QBETFORGLISTADB"),
                         QStringLiteral("\nWHERE BEAV_TIP.BEAVTIP_FAJTA = 'B'"))
          << summaryView(QStringLiteral("QLISTADB"), QString())
          // The department's codes come from its one row, or are null without it: the report
          // rows never depend on OSZTALY having a row.
          << QStringLiteral(
                 "CREATE VIEW QJELENTES AS\n"
                 "SELECT (SELECT OSZTALY.INTKOD FROM OSZTALY ORDER BY OSZTALY.rowid LIMIT 1) AS "
                 "INTKOD,\n"
                 "    (SELECT OSZTALY.FINKOD FROM OSZTALY ORDER BY OSZTALY.rowid LIMIT 1) AS "
                 "FINKOD,\n"
                 "    LISTA.BEAVTIP_KOD AS BEAVTIP_KOD, LISTA.LISTARA_DATUM AS LISTARA_DATUM,\n"
                 "    LISTA.HIV_SZAM AS HIV_SZAM, LISTA.SURGOSSEG AS SURGOSSEG,\n"
                 "    LISTA.ESEM_KOD AS ESEM_KOD, LISTA.ESEM_DATUM AS ESEM_DATUM\n"
                 "FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"
                 "WHERE ESEMENY.LISTAN = 'I'\n"
                 "ORDER BY LISTA.BEAVTIP_KOD, LISTA.LISTARA_DATUM, LISTA.HIV_SZAM");
    return steps;
}

QStringList version2()
{
    // The member query reads every column from the first index alone (about four times
    // faster on a big list than one row lookup per member).
    return {QStringLiteral("CREATE INDEX LISTA_TAGOK ON LISTA (BEAVTIP_KOD, LISTARA_DATUM, "
                           "HIV_SZAM, ESEM_KOD, TAJ, NEV, SURGOSSEG, ESEM_DATUM)"),
            QStringLiteral("CREATE INDEX LISTA_TAJ ON LISTA (TAJ)")};
}

QStringList stepsOf(int version)
{
    switch (version) {
    case 1:
        return version1();
    case 2:
        return version2();
    default:
        return {};
    }
}

void removeDatabaseFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

QByteArray databaseKey()
{
    return QByteArrayLiteral("hJumbeli");
}

void migrate(Connection &connection, int fromVersion, int toVersion)
{
    if (fromVersion < 0 || toVersion > currentVersion || fromVersion > toVersion)
        throw Error(QStringLiteral("Az adatbázis nem alakítható át a(z) %1. verzióról a(z) %2. "
                                   "verzióra")
                        .arg(fromVersion)
                        .arg(toVersion));
    WriteTransaction transaction(connection);
    // Read under the write lock: another instance may have upgraded the file meanwhile.
    const int actual = connection.userVersion();
    if (actual != fromVersion)
        throw Error(QStringLiteral("Az adatbázis a(z) %1. verziójú, nem a(z) %2.: %3")
                        .arg(actual)
                        .arg(fromVersion)
                        .arg(QDir::toNativeSeparators(connection.path())));
    for (int version = fromVersion + 1; version <= toVersion; ++version) {
        for (const QString &step : stepsOf(version))
            connection.execute(step);
    }
    connection.execute(QStringLiteral("PRAGMA user_version = %1").arg(toVersion));
    transaction.commit();
}

namespace {

struct List
{
    int code;
    const char *name;
    const char *kind;
};

void insertLists(Connection &connection, const List *first, const List *last)
{
    Statement list(connection, QStringLiteral("INSERT INTO BEAV_TIP (BEAVTIP_KOD, BEAVTIP_NEV, "
                                              "BEAVTIP_FAJTA) VALUES (?, ?, ?)"));
    for (const List *l = first; l != last; ++l) {
        list.bind(1, l->code);
        list.bind(2, QString::fromUtf8(l->name));
        list.bind(3, QString::fromUtf8(l->kind));
        list.step();
        list.reset();
    }
}

} // namespace

void insertReferenceData(Connection &connection)
{
    struct Event
    {
        const char *code;
        const char *name;
        const char *onList;
    };
    // A new entry always starts with "Várakozás"; the rest are the ways an entry leaves its
    // list, or stays on it postponed.
    static const Event events[] = {
        {"VAR", "Várakozás", "I"},
        {"HAL", "Halasztva a beteg kérésére", "I"},
        {"BEA", "Beavatkozás megtörtént", "N"},
        {"KER", "Levéve a beteg kérésére", "N"},
        {"ELH", "Elhunyt", "N"},
        {"ATH", "Más intézménybe áthelyezve", "N"},
        {"NJE", "Nem jelent meg", "N"},
    };
    // An outpatient department works on list 0 from its first start, and the TAJ search
    // finds only entries whose list has a row here.
    static const List outpatientList[] = {{0, "Járóbeteg-ellátás", "J"}};

    WriteTransaction transaction(connection);
    Statement event(
        connection,
        QStringLiteral("INSERT INTO ESEMENY (ES_KOD, ES_NEV, LISTAN) VALUES (?, ?, ?)"));
    for (const Event &e : events) {
        event.bind(1, QString::fromUtf8(e.code));
        event.bind(2, QString::fromUtf8(e.name));
        event.bind(3, QString::fromUtf8(e.onList));
        event.step();
        event.reset();
    }
    insertLists(connection, std::begin(outpatientList), std::end(outpatientList));
    transaction.commit();
}

void insertSampleLists(Connection &connection)
{
    static const List lists[] = {
        {1, "Csípőprotézis beültetése", "V"}, {2, "Térdprotézis beültetése", "V"},
        {3, "Szürkehályog-műtét", "V"},       {4, "Epehólyag-eltávolítás", "V"},
        {5, "Lágyéksérv-műtét", "V"},         {11, "Belgyógyászati felvétel", "B"},
        {12, "Sebészeti felvétel", "B"},      {13, "Nőgyógyászati felvétel", "B"},
    };
    if (connection.inTransaction()) {
        insertLists(connection, std::begin(lists), std::end(lists));
        return;
    }
    WriteTransaction transaction(connection);
    insertLists(connection, std::begin(lists), std::end(lists));
    transaction.commit();
}

void createDatabase(const QString &path, Contents contents)
{
    Connection connection;
    connection.open(path, Connection::Mode::CreateNew);
    try {
        migrate(connection, 0);
        insertReferenceData(connection);
        if (contents == Contents::WithSampleLists)
            insertSampleLists(connection);
        connection.close();
    } catch (...) {
        connection.close();
        removeDatabaseFiles(path);
        throw;
    }
}

int upgradeDatabase(const QString &path)
{
    Connection connection;
    connection.open(path, Connection::Mode::ExistingAnyVersion);
    const int version = connection.userVersion();
    if (version == currentVersion)
        return version;
    if (version < 1 || version > currentVersion)
        throw Error(QStringLiteral("Az adatbázisfájl ismeretlen változatú (%1. verzió), nem "
                                   "frissíthető: %2")
                        .arg(version)
                        .arg(QDir::toNativeSeparators(path)));
    migrate(connection, version, currentVersion);
    return version;
}

} // namespace db::schema
