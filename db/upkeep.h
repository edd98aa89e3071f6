#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What the administration's work on a database gives back, whichever engine holds it.
namespace db {

// Rows per table, by table name.
using RowCounts = QMap<QString, qint64>;

struct BackupResult
{
    QString path;
    RowCounts counts;
};

struct RestoreResult
{
    QString keptPath; // what was replaced, kept for going back; empty when there was nothing
    RowCounts counts;
};

// One table copied into another database: its rows before and after.
struct TableCount
{
    QString table;
    qint64 sourceRows = 0;
    qint64 copiedRows = 0;
};

// A column as the engine's catalogue describes it.
struct ColumnShape
{
    QString name;
    QString type;     // the engine's own type name, in lower case
    int width = 0;    // the most characters a text may have; 0 for none
    bool key = false; // the table's primary key
};

struct TableShape
{
    QString name;
    QList<ColumnShape> columns;
};

struct IndexShape
{
    QString name;
    QString table;
    QStringList columns; // in the index's order, the included ones last
    bool unique = false;
};

// What an engine really made: every table, index and saved query of the program (names in
// the program's spelling), in name order.
struct SchemaShape
{
    QList<TableShape> tables;
    QList<IndexShape> indexes;
    QStringList savedQueries;
};

} // namespace db
