// The program's tables in the file: the description's columns as SQLite declares them, with
// the checks SQLite needs to hold widths, whole numbers and days, and the triggers that keep
// every day as ISO text.
#include "fileengine.h"

#include "db/error.h"
#include "db/schema.h"

#include <QRegularExpression>
#include <QStringList>

namespace db {

namespace {

using schema::Column;
using schema::Table;
using schema::Type;

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

// This SQLite checks the value before the column's affinity turns '3' into 3, so a whole
// number in text passes too (statement texts write integers between quotes).
QString integerCheck(const QString &column)
{
    return QStringLiteral("CHECK (typeof(%1) IN ('integer', 'null') OR (typeof(%1) = 'text' AND "
                          "CAST(CAST(%1 AS INTEGER) AS TEXT) IS %1))")
        .arg(column);
}

// SQLite does not hold TEXT(n): every width, whole number and day is a CHECK.
QString declare(const Column &c)
{
    const QString name = QString::fromLatin1(c.name);
    switch (c.type) {
    case Type::Serial:
        return name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case Type::Integer:
        return c.key ? name + QStringLiteral(" INTEGER PRIMARY KEY")
                     : name + QStringLiteral(" INTEGER ") + integerCheck(name);
    case Type::Text:
        return name + QStringLiteral(" TEXT ")
               + (c.allowed ? schema::allowedCheckText(c)
                            : QStringLiteral("CHECK (length(%1) <= %2)").arg(name).arg(c.width));
    case Type::Day:
    case Type::Moment:
        break;
    }
    return name + QStringLiteral(" DATETIME ") + dateCheck(name);
}

QStringList dateColumns(const Table &table, int version)
{
    QStringList columns;
    for (const Column &c : table.columns) {
        if (c.since <= version && (c.type == Type::Day || c.type == Type::Moment))
            columns << QString::fromLatin1(c.name);
    }
    return columns;
}

// The row just written gets its M/D/YYYY days rewritten as ISO text; the CHECKs have
// already let through only real days.
QStringList dateTriggers(const Table &table, int version)
{
    const QStringList columns = dateColumns(table, version);
    if (columns.isEmpty())
        return {};
    const QString tableName = QString::fromLatin1(table.name);
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

QStringList tableSteps(const Table &table, int version)
{
    return QStringList{
               schema::createTableText(table, QString::fromLatin1(table.name), version, declare)}
           + dateTriggers(table, version);
}

QStringList indexSteps(int version)
{
    QStringList steps;
    for (const schema::Index &index : schema::indexes()) {
        if (index.since <= version && index.kind != schema::IndexKind::OneRowOnServer)
            steps << schema::createIndexText(index, false);
    }
    return steps;
}

QStringList viewSteps()
{
    QStringList steps;
    for (const schema::SavedQuery &query : schema::savedQueries())
        steps << schema::createViewText(query);
    return steps;
}

// A table that gains columns: a key column cannot be added to a table in place, so the table
// is made again with its rows in their order, each keeping its rowid (a new serial number
// takes it).
QStringList rebuildSteps(const Table &table, int fromVersion)
{
    const QString name = QString::fromLatin1(table.name);
    const QString incoming = name + QStringLiteral("_UJ");
    QStringList kept;
    QStringList values;
    for (const Column &c : table.columns) {
        if (c.since <= fromVersion) {
            kept << QString::fromLatin1(c.name);
            values << QString::fromLatin1(c.name);
        } else if (c.type == Type::Serial) {
            kept << QString::fromLatin1(c.name);
            values << QStringLiteral("rowid");
        }
    }
    QStringList steps{schema::createTableText(table, incoming, schema::currentVersion, declare)};
    steps << QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid")
                 .arg(incoming, kept.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
                      name)
          << QStringLiteral("DROP TABLE ") + name
          << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(incoming, name);
    return steps + dateTriggers(table, schema::currentVersion);
}

QStringList upgradeSchemaSteps(int fromVersion)
{
    QStringList steps;
    // The saved queries are made again from the description, after the tables they read.
    for (const schema::SavedQuery &query : schema::savedQueries())
        steps << QStringLiteral("DROP VIEW IF EXISTS ") + QString::fromLatin1(query.name);
    for (const Table &table : schema::tables()) {
        bool added = false;
        bool keyAdded = false;
        for (const Column &c : table.columns) {
            if (c.since > fromVersion) {
                added = true;
                keyAdded = keyAdded || c.key || c.type == Type::Serial;
            }
        }
        if (keyAdded) {
            steps << rebuildSteps(table, fromVersion);
        } else if (added) {
            for (const Column &c : table.columns) {
                if (c.since > fromVersion)
                    steps << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                                 .arg(QLatin1StringView(table.name), declare(c));
            }
        }
    }
    return steps + indexSteps(schema::currentVersion) + viewSteps();
}

} // namespace

void FileEngine::createSchema(int version)
{
    QStringList steps;
    for (const Table &table : schema::tables())
        steps << tableSteps(table, version);
    steps << indexSteps(version) << viewSteps()
          << QStringLiteral("PRAGMA user_version = %1").arg(version);
    for (const QString &step : steps)
        execute(step);
}

QStringList FileEngine::upgradeSteps(int fromVersion)
{
    return upgradeSchemaSteps(fromVersion)
           << QStringLiteral("PRAGMA user_version = %1").arg(schema::currentVersion);
}

namespace {

// The widest value a column's CHECKs let through: a length limit, or a list of values.
int checkedWidth(const QString &tableSql, const QString &column)
{
    const QRegularExpression length(QStringLiteral("length\\(%1\\) <= (\\d+)").arg(column));
    if (const QRegularExpressionMatch m = length.match(tableSql); m.hasMatch())
        return m.captured(1).toInt();
    const QRegularExpression list(QStringLiteral("%1 IN \\(([^)]*)\\)").arg(column));
    const QRegularExpressionMatch m = list.match(tableSql);
    int widest = 0;
    if (m.hasMatch()) {
        for (const QString &value : m.captured(1).split(u','))
            widest = std::max(widest, int(value.trimmed().size()) - 2);
    }
    return widest;
}

} // namespace

SchemaShape FileEngine::shape()
{
    SchemaShape result;
    const auto rowsOf = [this](const QString &sql) {
        QList<QStringList> rows;
        std::unique_ptr<EngineStatement> statement = prepare(sql);
        while (statement->step()) {
            QStringList row;
            for (int c = 0; c < statement->columnCount(); ++c)
                row << QString::fromUtf8(statement->utf8(c));
            rows << row;
        }
        return rows;
    };
    const QString objects = QStringLiteral("SELECT name, tbl_name, sql FROM sqlite_master WHERE "
                                           "type = '%1' AND name NOT LIKE 'sqlite%' AND sql IS "
                                           "NOT NULL ORDER BY name");
    for (const QStringList &t : rowsOf(objects.arg(QStringLiteral("table")))) {
        TableShape table{t.at(0), {}};
        for (const QStringList &c :
             rowsOf(QStringLiteral("PRAGMA table_info(%1)").arg(plainIdentifier(t.at(0)))))
            table.columns << ColumnShape{c.at(1), c.at(2).toLower(), checkedWidth(t.at(2), c.at(1)),
                                         c.at(5) != u"0"};
        result.tables << table;
    }
    for (const QStringList &i : rowsOf(objects.arg(QStringLiteral("index")))) {
        IndexShape index{i.at(0), i.at(1), {}, i.at(2).startsWith(u"CREATE UNIQUE")};
        for (const QStringList &c :
             rowsOf(QStringLiteral("PRAGMA index_info(%1)").arg(plainIdentifier(i.at(0)))))
            index.columns << c.at(2);
        result.indexes << index;
    }
    for (const QStringList &v : rowsOf(objects.arg(QStringLiteral("view"))))
        result.savedQueries << v.at(0);
    return result;
}

} // namespace db
