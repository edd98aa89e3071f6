#pragma once

#include "db/connection.h"
#include "db/newdatabase.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <functional>

namespace testsupport {

// A throw-away program folder: a fresh encrypted Vazuvede.adat made by the database tool's
// own code (in a server run: a connection file naming a fresh server database holding the
// same) and an empty Jelentesek folder, all removed when the object goes. A test that works
// on lists asks for the sample lists; a new department's file has none.
class TempProgramDir
{
public:
    explicit TempProgramDir(bool withDatabase = true, bool withReportDir = true);
    explicit TempProgramDir(db::schema::Contents contents);

    QString path() const; // ends with '/'
    QString databasePath() const;
    // Opens the folder's data as the program does, from the file or from the server.
    void connect(db::Connection &connection) const;
    QString reportDirPath() const; // path() + "Jelentesek/"

private:
    void addDatabase(db::schema::Contents contents);

    QTemporaryDir m_dir;
};

// Set-up through bound statements, so a test's data never depends on the statement texts
// under test. Dates are bound as stored ISO text.
void insertDepartment(db::Connection &connection, const QString &intkod, const QString &finkod,
                      const QString &jarofekvo, const QString &name, const QString &password);

// Returns the new entry's HIV_SZAM. An invalid esemDatum means the day it was put on the list.
qint64 insertEntry(db::Connection &connection, qint64 beavtip, const QString &taj,
                   const QString &nev, QDate listara,
                   const QString &surgosseg = QStringLiteral("H"),
                   const QString &esemKod = QStringLiteral("VAR"), QDate esemDatum = {});

// Every row of a query, each value by its own SQLite type (qint64, double, QString,
// QByteArray or null).
QList<QVariantList> rows(db::Connection &connection, const QString &sql);

// Makes every write of the kind (INSERT, UPDATE) into the table fail with the message, as a
// full disk or a refusing server would, until allowWrites; condition is an SQL expression over
// NEW (empty: always). Written for the engine of the test run.
void refuseWrites(db::Connection &connection, const QString &name, const QString &kind,
                  const QString &table, const QString &message, const QString &condition = {});
void allowWrites(db::Connection &connection, const QString &name, const QString &table);

// The message of the db::Error the action throws; empty when it throws none.
QString dbErrorOf(const std::function<void()> &action);

} // namespace testsupport
