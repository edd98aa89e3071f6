#include "schema.h"

#include "error.h"

#include <QHash>

namespace db::schema {

namespace {

constexpr Column osztaly[] = {
    {"INTKOD", Type::Text, 4},      {"FINKOD", Type::Text, 9}, {"JAROFEKVO", Type::Text, 1},
    {"OSZTALYNEV", Type::Text, 50}, {"JELSZO", Type::Text, 8},
};

constexpr Column lista[] = {
    {"HIV_SZAM", Type::Serial},  {"BEAVTIP_KOD", Type::Integer}, {"TAJ", Type::Text, 9},
    {"NEV", Type::Text, 50},     {"LISTARA_DATUM", Type::Day},   {"SURGOSSEG", Type::Text, 1},
    {"ESEM_KOD", Type::Text, 3}, {"ESEM_DATUM", Type::Day},      {"INS_DATE", Type::Day},
};

constexpr Column esemeny[] = {
    {"ES_KOD", Type::Text, 3},
    {"ES_NEV", Type::Text, 150},
    {"LISTAN", Type::Text, 1},
};

constexpr Column beavTip[] = {
    {"BEAVTIP_KOD", Type::Integer, 0, nullptr, true},
    {"BEAVTIP_NEV", Type::Text, 50},
    {"BEAVTIP_FAJTA", Type::Text, 1, "VBJ"},
};

constexpr Column log[] = {
    {"DATUM", Type::Moment},
    {"HIV_SZAM", Type::Integer},
    {"MEZO", Type::Text, 10},
    {"REGI_ERTEK", Type::Text, 50},
    {"UJ_ERTEK", Type::Text, 50},
    // The order the changes were written in: two changes of one moment keep theirs.
    {"SORSZAM", Type::Serial, 0, nullptr, false, 3},
};

// Reference data first, then the department, the entries and their change log.
constexpr Table allTables[] = {
    {"ESEMENY", esemeny}, {"BEAV_TIP", beavTip}, {"OSZTALY", osztaly},
    {"LISTA", lista},     {"LOG", log, true},
};

constexpr Index allIndexes[] = {
    {"OSZTALY_EGY_SOR", "OSZTALY", nullptr, nullptr, IndexKind::OneRowOnServer, 2},
    // The program finds an event by its code and by its name: neither may repeat.
    {"ESEMENY_KOD", "ESEMENY", "ES_KOD", nullptr, IndexKind::Unique},
    {"ESEMENY_NEV", "ESEMENY", "ES_NEV", nullptr, IndexKind::Unique},
    // The member query reads every column from this index alone (about four times faster on
    // a big list than one row lookup per member).
    {"LISTA_TAGOK", "LISTA", "BEAVTIP_KOD, LISTARA_DATUM, HIV_SZAM",
     "ESEM_KOD, TAJ, NEV, SURGOSSEG, ESEM_DATUM", IndexKind::Plain, 2},
    {"LISTA_TAJ", "LISTA", "TAJ", nullptr, IndexKind::Plain, 2},
    // The history of one entry.
    {"LOG_HIV_SZAM", "LOG", "HIV_SZAM", nullptr, IndexKind::Plain, 2},
    // The statistics follow an entry's changes of event in the order they were written, and
    // the day that stood for each, from this index alone.
    {"LOG_ESEMENYEK", "LOG", "HIV_SZAM, MEZO, SORSZAM", "REGI_ERTEK", IndexKind::Plain, 4},
    // The statistics find the few entries whose log holds an event that took them off.
    {"LOG_REGI_ERTEK", "LOG", "MEZO, REGI_ERTEK, HIV_SZAM", nullptr, IndexKind::Plain, 4},
};

// The list summaries count in a correlated subquery, so a list whose entries all left still
// shows, with 0.
#define SUMMARY_OF(kindCondition)                                                                  \
    "SELECT BEAV_TIP.BEAVTIP_KOD AS BEAVTIP_KOD, BEAV_TIP.BEAVTIP_NEV AS BEAVTIP_NEV,\n"           \
    "    (SELECT count(*) FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"      \
    "     WHERE LISTA.BEAVTIP_KOD = BEAV_TIP.BEAVTIP_KOD AND ESEMENY.LISTAN = 'I') AS "            \
    "Listatagok\n"                                                                                 \
    "FROM BEAV_TIP" kindCondition "\nORDER BY BEAV_TIP.BEAVTIP_KOD"

constexpr SavedQuery allSavedQueries[] = {
    {"QZAZADOROZDB", SUMMARY_OF("\nWHERE BEAV_TIP.BEAVTIP_FAJTA = 'V'")},
    {"QBETFORGLISTADB", SUMMARY_OF("\nWHERE BEAV_TIP.BEAVTIP_FAJTA = 'B'")},
    {"QLISTADB", SUMMARY_OF("")},
    // The department's codes come from its first row, or are null without one: the report
    // rows never depend on OSZTALY having a row.
    {"QJELENTES", "SELECT (SELECT OSZTALY.INTKOD FROM OSZTALY LIMIT 1) AS INTKOD,\n"
                  "    (SELECT OSZTALY.FINKOD FROM OSZTALY LIMIT 1) AS FINKOD,\n"
                  "    LISTA.BEAVTIP_KOD AS BEAVTIP_KOD, LISTA.LISTARA_DATUM AS LISTARA_DATUM,\n"
                  "    LISTA.HIV_SZAM AS HIV_SZAM, LISTA.SURGOSSEG AS SURGOSSEG,\n"
                  "    LISTA.ESEM_KOD AS ESEM_KOD, LISTA.ESEM_DATUM AS ESEM_DATUM\n"
                  "FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"
                  "WHERE ESEMENY.LISTAN = 'I'\n"
                  "ORDER BY LISTA.BEAVTIP_KOD, LISTA.LISTARA_DATUM, LISTA.HIV_SZAM"},
};
#undef SUMMARY_OF

// Names the statements give their results beyond the columns.
constexpr const char *resultNames[] = {"Listatagok"};

} // namespace

std::span<const Table> tables()
{
    return allTables;
}

std::span<const Index> indexes()
{
    return allIndexes;
}

std::span<const SavedQuery> savedQueries()
{
    return allSavedQueries;
}

const Table &table(QAnyStringView name)
{
    for (const Table &t : allTables) {
        if (QAnyStringView::compare(name, QLatin1StringView(t.name)) == 0)
            return t;
    }
    throw Error(QStringLiteral("Ismeretlen tábla: %1").arg(name.toString()));
}

const Column &column(QAnyStringView tableName, QAnyStringView name)
{
    for (const Column &c : table(tableName).columns) {
        if (QAnyStringView::compare(name, QLatin1StringView(c.name)) == 0)
            return c;
    }
    throw Error(
        QStringLiteral("Ismeretlen oszlop: %1.%2").arg(tableName.toString(), name.toString()));
}

int width(QAnyStringView tableName, QAnyStringView name)
{
    return column(tableName, name).width;
}

QStringList columnNames(const Table &t, int version)
{
    QStringList names;
    for (const Column &c : t.columns) {
        if (c.since <= version)
            names << QString::fromLatin1(c.name);
    }
    return names;
}

QStringList splitColumns(const char *columns)
{
    if (!columns)
        return {};
    QStringList names = QString::fromLatin1(columns).split(u',');
    for (QString &name : names)
        name = name.trimmed();
    return names;
}

QString createTableText(const Table &t, const QString &name, int version,
                        const std::function<QString(const Column &)> &declare)
{
    QStringList declared;
    for (const Column &c : t.columns) {
        if (c.since <= version)
            declared << declare(c);
    }
    return QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (\n    ")
           + declared.join(QStringLiteral(",\n    ")) + QStringLiteral("\n)");
}

QString allowedCheckText(const Column &c)
{
    if (!c.allowed)
        return {};
    QStringList values;
    for (const char *letter = c.allowed; *letter; ++letter)
        values << QStringLiteral("'%1'").arg(QLatin1Char(*letter));
    return QStringLiteral("CHECK (%1 IN (%2))")
        .arg(QLatin1StringView(c.name), values.join(QStringLiteral(", ")));
}

QString createIndexText(const Index &index, bool includedColumns)
{
    const QString head
        = QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (")
              .arg(index.kind == IndexKind::Plain ? QString() : QStringLiteral("UNIQUE "),
                   QLatin1StringView(index.name), QLatin1StringView(index.table));
    if (index.kind == IndexKind::OneRowOnServer)
        return head + QStringLiteral("(true))");
    QStringList columns = splitColumns(index.columns);
    const QStringList included = splitColumns(index.included);
    if (included.isEmpty() || !includedColumns)
        return head + (columns << included).join(QStringLiteral(", ")) + u')';
    return head + columns.join(QStringLiteral(", ")) + QStringLiteral(") INCLUDE (")
           + included.join(QStringLiteral(", ")) + u')';
}

QString createViewText(const SavedQuery &query, bool replacing)
{
    return QStringLiteral("CREATE %1VIEW %2 AS\n%3")
        .arg(replacing ? QStringLiteral("OR REPLACE ") : QString(), QLatin1StringView(query.name),
             QLatin1StringView(query.select));
}

QString describedName(const QString &lowerCaseName)
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> map;
        const auto add = [&map](const char *name) {
            const QString spelled = QString::fromLatin1(name);
            map.insert(spelled.toLower(), spelled);
        };
        for (const Table &t : allTables) {
            for (const Column &c : t.columns)
                add(c.name);
        }
        for (const char *name : resultNames)
            add(name);
        return map;
    }();
    return names.value(lowerCaseName, lowerCaseName);
}

} // namespace db::schema

namespace db::schema {

void requireCurrentVersion(int version, const QString &where, const QString &upgradeCommand)
{
    if (version == currentVersion)
        return;
    if (version == 0)
        throw Error(QStringLiteral("Az adatbázisban nincsenek a program táblái: %1").arg(where));
    if (version > 0 && version < currentVersion)
        throw Error(QStringLiteral("Az adatbázis régebbi változatú (%1. verzió): %2\n"
                                   "Frissítse a következő paranccsal: %3")
                        .arg(version)
                        .arg(where, upgradeCommand));
    throw Error(QStringLiteral("Az adatbázis ismeretlen változatú (%1. verzió), ez a program "
                               "a(z) %2. verziót ismeri: %3")
                    .arg(version)
                    .arg(currentVersion)
                    .arg(where));
}

} // namespace db::schema
