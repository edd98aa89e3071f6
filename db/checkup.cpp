#include "checkup.h"

#include "connection.h"
#include "engine.h"
#include "error.h"
#include "schema.h"

#include <QSet>
#include <QStringList>

namespace db {

namespace {

// The program's tables, columns and saved queries that the database lacks.
QStringList missingObjects(Connection &connection, int version)
{
    const SchemaShape shape = connection.engine().shape();
    QStringList missing;
    for (const schema::Table &table : schema::tables()) {
        const auto found
            = std::find_if(shape.tables.cbegin(), shape.tables.cend(), [&](const TableShape &t) {
                  return t.name.compare(QLatin1StringView(table.name), Qt::CaseInsensitive) == 0;
              });
        if (found == shape.tables.cend()) {
            missing << QStringLiteral("hiányzik a(z) %1 tábla").arg(QLatin1StringView(table.name));
            continue;
        }
        QSet<QString> columns;
        for (const ColumnShape &c : found->columns)
            columns.insert(c.name.toUpper());
        for (const QString &column : schema::columnNames(table, version)) {
            if (!columns.contains(column.toUpper()))
                missing << QStringLiteral("hiányzik a(z) %1.%2 oszlop")
                               .arg(QLatin1StringView(table.name), column);
        }
    }
    for (const schema::SavedQuery &query : schema::savedQueries()) {
        if (!shape.savedQueries.contains(QString::fromLatin1(query.name), Qt::CaseInsensitive))
            missing
                << QStringLiteral("hiányzik a(z) %1 lekérdezés").arg(QLatin1StringView(query.name));
    }
    return missing;
}

struct RowRule
{
    const char *count; // the rows that break the rule
    const char *problem;
};

// Nothing of the program removes an entry, an event in use or a list with entries: a row
// whose partner is missing was damaged or written by something else.
constexpr RowRule rowRules[] = {
    {"SELECT count(*) FROM LOG WHERE NOT EXISTS (SELECT 1 FROM LISTA WHERE LISTA.HIV_SZAM = "
     "LOG.HIV_SZAM)",
     "%1 naplósor olyan bejegyzéshez tartozik, amely nincs meg"},
    {"SELECT count(*) FROM LISTA WHERE NOT EXISTS (SELECT 1 FROM ESEMENY WHERE ESEMENY.ES_KOD "
     "= LISTA.ESEM_KOD)",
     "%1 bejegyzés eseménye nincs meg az események között"},
    {"SELECT count(*) FROM LISTA WHERE NOT EXISTS (SELECT 1 FROM BEAV_TIP WHERE "
     "BEAV_TIP.BEAVTIP_KOD = LISTA.BEAVTIP_KOD)",
     "%1 bejegyzés listája nincs meg a listák között"},
};

QStringList brokenRows(Connection &connection)
{
    QStringList problems;
    for (const RowRule &rule : rowRules) {
        const qint64 broken = connection.scalar(QString::fromLatin1(rule.count)).toLongLong();
        if (broken > 0)
            problems << QString::fromUtf8(rule.problem).arg(broken);
    }
    return problems;
}

QString countsLine(Connection &connection)
{
    QStringList parts;
    qint64 total = 0;
    for (const schema::Table &table : schema::tables()) {
        const qint64 rows
            = connection
                  .scalar(QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(table.name))
                  .toLongLong();
        total += rows;
        parts << QStringLiteral("%1: %2").arg(QLatin1StringView(table.name)).arg(rows);
    }
    return QStringLiteral("%1 tábla, összesen %2 sor (%3).")
        .arg(parts.size())
        .arg(total)
        .arg(parts.join(QStringLiteral(", ")));
}

QString firstLines(const QStringList &lines)
{
    return lines.mid(0, 10).join(u'\n');
}

} // namespace

Checkup checkDatabase(Connection &connection)
{
    const QString where = connection.path();
    QStringList checked;
    const QStringList damaged = connection.engine().storageProblems(checked);
    if (!damaged.isEmpty())
        return {false, QStringLiteral("Az adatbázis SÉRÜLT: %1\nAz első hibák:\n%2")
                           .arg(where, firstLines(damaged))};
    const int version = connection.schemaVersion();
    if (version < 1 || version > schema::currentVersion)
        return unusableDatabase(where,
                                QStringLiteral("ismeretlen változatú (%1. verzió)").arg(version));
    QStringList problems = missingObjects(connection, version);
    checked << QStringLiteral("a program minden táblája, oszlopa és lekérdezése megvan");
    if (problems.isEmpty()) {
        problems = brokenRows(connection);
        checked << QStringLiteral("minden naplósor egy meglévő bejegyzéshez tartozik, minden "
                                  "bejegyzés eseménye és listája megvan");
    }
    if (!problems.isEmpty())
        return {false, QStringLiteral("Az adatbázis HIBÁS: %1\nA hibák:\n%2")
                           .arg(where, firstLines(problems))};
    QString verdict = QStringLiteral("Az adatbázis ép: %1\nEllenőrizve: %2.\n%3")
                          .arg(where, checked.join(QStringLiteral("; ")), countsLine(connection));
    if (version != schema::currentVersion)
        verdict += QStringLiteral("\nAz adatbázis a(z) %1. változatú, a program a(z) %2. "
                                  "változatot használja: frissítse a vazuvede-admin frissites "
                                  "paranccsal.")
                       .arg(version)
                       .arg(schema::currentVersion);
    return {true, verdict};
}

Checkup unusableDatabase(const QString &where, const QString &why)
{
    return {false, QStringLiteral("Az adatbázis NEM HASZNÁLHATÓ: %1\n%2").arg(where, why)};
}

} // namespace db
