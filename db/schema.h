#pragma once

#include <QAnyStringView>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

// The program's database, described once: tables, columns, widths, checks, indexes and the
// saved queries. Both engines make their tables from it, the datasets take their fields from
// it, and every width check (the dialogs, the administration tool, the rules) reads it here,
// so a column is changed in one place.
namespace db::schema {

// The version this program reads and writes; each engine keeps it in the database. The
// program refuses any other.
constexpr int currentVersion = 4;

enum class Type {
    Serial,  // a whole number the database gives each new row, never the same twice
    Integer, // a whole number
    Text,    // at most width characters
    Day,     // a calendar day
    Moment   // a day and a time of day, to the second
};

struct Column
{
    const char *name;
    Type type;
    int width = 0;                 // Text: the most characters a value may have
    const char *allowed = nullptr; // Text: the only values it takes, one letter each ("VBJ")
    bool key = false;              // the table's primary key (a Serial is one by itself)
    int since = 1;                 // the schema version that brought the column
};

struct Table
{
    const char *name;
    std::span<const Column> columns;
    bool onlyGrows = false; // rows are added, never changed (the change log)
};

enum class IndexKind {
    Plain,
    Unique,
    // The table holds one row: a second one from another workstation is refused even when
    // both looked before either wrote. The file needs none (a writer holds the whole file,
    // and an older file may hold a second row, of which the program uses the first).
    OneRowOnServer
};

struct Index
{
    const char *name;
    const char *table;
    const char *columns;  // comma-separated: the searched columns
    const char *included; // comma-separated: further columns read from the index alone
    IndexKind kind = IndexKind::Plain;
    int since = 1;
};

// A saved query: opened by name like a table; its text runs as it stands on both engines.
struct SavedQuery
{
    const char *name;
    const char *select;
};

std::span<const Table> tables();
std::span<const Index> indexes();
std::span<const SavedQuery> savedQueries();

// Throws db::Error for a table or column the description does not hold.
const Table &table(QAnyStringView name);
const Column &column(QAnyStringView table, QAnyStringView column);
// The width of a text column.
int width(QAnyStringView table, QAnyStringView column);

// The columns a table had at a schema version, in order.
QStringList columnNames(const Table &table, int version = currentVersion);
QStringList splitColumns(const char *columns);

// CREATE TABLE of a table as it was at a version, under a name; each engine declares the
// columns its own way.
QString createTableText(const Table &table, const QString &name, int version,
                        const std::function<QString(const Column &)> &declare);
// The CHECK that holds a column to its allowed values (both engines read it alike); empty
// for a column that takes any value.
QString allowedCheckText(const Column &column);
// CREATE INDEX, made only where it is missing; an engine without included columns puts them
// after the searched ones.
QString createIndexText(const Index &index, bool includedColumns);
// CREATE VIEW, or CREATE OR REPLACE VIEW where the engine keeps the rights given on it.
QString createViewText(const SavedQuery &query, bool replacing = false);

// A name the server gave back in lower case, in the spelling of the description (hiv_szam ->
// HIV_SZAM, listatagok -> Listatagok); any other name as it is.
QString describedName(const QString &lowerCaseName);

} // namespace db::schema

namespace db::schema {

// Throws db::Error for a database whose version this program cannot work with: without the
// program's tables, older (saying how to upgrade it), or unknown. where names the database.
void requireCurrentVersion(int version, const QString &where, const QString &upgradeCommand);

} // namespace db::schema
