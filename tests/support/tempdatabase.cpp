#include "tempdatabase.h"

#include "serverdatabase.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/newdatabase.h"
#include "db/server/connectionfile.h"
#include "db/statement.h"
#include "db/statements.h"

#include <QDir>
#include <QFile>

namespace testsupport {

namespace {

// One fresh database of each kind per test program, copied for every folder: making a file
// costs a key derivation and a dozen synced writes, copying it almost nothing.
QString makeTemplate(QTemporaryDir &dir, db::schema::Contents contents)
{
    if (!dir.isValid())
        throw db::Error(QStringLiteral("Nem hozható létre ideiglenes mappa: ") + dir.errorString());
    QString file = dir.path() + u'/' + QString::fromLatin1(db::databaseFileName);
    db::schema::createDatabase(file, contents);
    return file;
}

QString templateDatabase(db::schema::Contents contents)
{
    if (contents == db::schema::Contents::WithSampleLists) {
        static QTemporaryDir dir;
        static const QString path = makeTemplate(dir, contents);
        return path;
    }
    static QTemporaryDir dir;
    static const QString path = makeTemplate(dir, contents);
    return path;
}

} // namespace

TempProgramDir::TempProgramDir(bool withDatabase, bool withReportDir)
{
    if (!m_dir.isValid())
        throw db::Error(QStringLiteral("Nem hozható létre ideiglenes mappa: ")
                        + m_dir.errorString());
    if (withDatabase)
        addDatabase(db::schema::Contents::Empty);
    if (withReportDir && !QDir(m_dir.path()).mkdir(QStringLiteral("Jelentesek")))
        throw db::Error(QStringLiteral("Nem hozható létre a Jelentesek mappa: ") + m_dir.path());
}

TempProgramDir::TempProgramDir(db::schema::Contents contents)
    : TempProgramDir(false, true)
{
    addDatabase(contents);
}

void TempProgramDir::addDatabase(db::schema::Contents contents)
{
    if (serverEngine()) {
        // The same folder, naming a fresh database on the test cluster instead of a file.
        QFile file(path() + QString::fromLatin1(db::connectionfile::fileName));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(newProgramServerDatabase(templateDatabase(contents)).toUtf8()) < 0)
            throw db::Error(QStringLiteral("Nem írható a kapcsolatfájl: ") + file.fileName());
        return;
    }
    if (!QFile::copy(templateDatabase(contents), databasePath()))
        throw db::Error(QStringLiteral("Nem másolható az adatbázis ide: ") + databasePath());
}

void TempProgramDir::connect(db::Connection &connection) const
{
    connection.openDepartment(path());
}

QString TempProgramDir::path() const
{
    return m_dir.path() + u'/';
}

QString TempProgramDir::databasePath() const
{
    return path() + QString::fromLatin1(db::databaseFileName);
}

QString TempProgramDir::reportDirPath() const
{
    return path() + QStringLiteral("Jelentesek/");
}

void insertDepartment(db::Connection &connection, const QString &intkod, const QString &finkod,
                      const QString &jarofekvo, const QString &name, const QString &password)
{
    db::Statement statement(connection, db::statements::insertDepartmentRow());
    statement.bind(1, intkod);
    statement.bind(2, finkod);
    statement.bind(3, jarofekvo);
    statement.bind(4, name);
    statement.bind(5, password);
    statement.step();
}

qint64 insertEntry(db::Connection &connection, qint64 beavtip, const QString &taj,
                   const QString &nev, QDate listara, const QString &surgosseg,
                   const QString &esemKod, QDate esemDatum)
{
    db::Statement statement(connection, db::statements::insertEntryRow());
    statement.bind(1, beavtip);
    statement.bind(2, taj);
    statement.bind(3, nev);
    statement.bind(4, listara);
    statement.bind(5, surgosseg);
    statement.bind(6, esemKod);
    statement.bind(7, esemDatum.isValid() ? esemDatum : listara);
    statement.bind(8, listara);
    statement.step();
    return connection.lastInsertRowId();
}

QList<QVariantList> rows(db::Connection &connection, const QString &sql)
{
    db::Statement statement(connection, sql);
    QList<QVariantList> result;
    while (statement.step()) {
        QVariantList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row << statement.value(column);
        result << row;
    }
    return result;
}

void refuseWrites(db::Connection &connection, const QString &name, const QString &kind,
                  const QString &table, const QString &message, const QString &condition)
{
    if (serverEngine()) {
        connection.execute(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql "
                                          "AS $$BEGIN RAISE EXCEPTION '%2'; END$$")
                               .arg(name, message));
        connection.execute(
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 "
                           "EXECUTE FUNCTION %1()")
                .arg(name, kind, table,
                     condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition)));
        return;
    }
    connection.execute(
        QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3%4 BEGIN SELECT "
                       "RAISE(ABORT, '%5'); END")
            .arg(name, kind, table,
                 condition.isEmpty() ? QString() : QStringLiteral(" WHEN ") + condition, message));
}

void allowWrites(db::Connection &connection, const QString &name, const QString &table)
{
    if (serverEngine())
        connection.execute(
            QStringLiteral("DROP TRIGGER %1 ON %2; DROP FUNCTION %1()").arg(name, table));
    else
        connection.execute(QStringLiteral("DROP TRIGGER %1").arg(name));
}

QString dbErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const db::Error &error) {
        return error.message();
    }
    return {};
}

} // namespace testsupport
