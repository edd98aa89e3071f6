#include "upkeepadmin.h"

#include "db/checkup.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"
#include "db/newdatabase.h"
#include "db/schema.h"
#include "db/server/connectionfile.h"

#include <QDir>
#include <QTextStream>

namespace admin {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

qint64 total(const db::RowCounts &counts)
{
    qint64 sum = 0;
    for (const qint64 n : counts)
        sum += n;
    return sum;
}

} // namespace

UpkeepAdmin::UpkeepAdmin(QTextStream &out, QTextStream &err, const QString &programDir)
    : m_out(out)
    , m_err(err)
    , m_programDir(programDir)
{
}

void UpkeepAdmin::backup(const QString &folder)
{
    db::Connection connection;
    connection.openDepartment(m_programDir);
    const db::BackupResult result = connection.engine().backup(folder, db::now());
    m_out << QStringLiteral("A mentés elkészült és ellenőrizve: %1\n(%2 tábla, összesen %3 sor.)\n")
                 .arg(shown(result.path))
                 .arg(result.counts.size())
                 .arg(total(result.counts));
}

void UpkeepAdmin::restore(const QString &backupPath, const QString &connectionText)
{
    db::Connection connection;
    if (connectionText.isEmpty())
        connection.openDepartment(m_programDir, db::Connection::Use::Restore);
    else
        connection.openServer(connectionText, db::Connection::Mode::ExistingAnyVersion);
    const QString where = connection.path();
    const db::RestoreResult result = connection.engine().restore(backupPath, db::now());
    m_out << QStringLiteral("A mentés visszaállítva és ellenőrizve: %1 → %2\n")
                 .arg(shown(backupPath), shown(where));
    if (!result.keptPath.isEmpty())
        m_out << QStringLiteral("A korábbi adatbázis megmaradt: %1\n").arg(shown(result.keptPath));
}

bool UpkeepAdmin::check(const QString &path)
{
    db::Connection connection;
    db::Checkup result;
    try {
        if (path.isEmpty())
            connection.openDepartment(m_programDir, db::Connection::Use::Upkeep);
        else
            connection.open(path, db::Connection::Mode::ExistingAnyVersion);
    } catch (const db::Error &e) {
        result
            = db::unusableDatabase(path.isEmpty() ? shown(m_programDir) : shown(path), e.message());
    }
    if (connection.isOpen())
        result = db::checkDatabase(connection);
    (result.intact ? m_out : m_err) << result.verdict << u'\n';
    return result.intact;
}

void UpkeepAdmin::upgrade(const QString &connectionText)
{
    db::Connection connection;
    if (connectionText.isEmpty())
        connection.openDepartment(m_programDir, db::Connection::Use::Upkeep);
    else
        connection.openServer(connectionText, db::Connection::Mode::ExistingAnyVersion);
    const int from = db::schema::upgradeDatabase(connection);
    if (from == db::schema::currentVersion)
        m_out << QStringLiteral("Az adatbázis már a program változatú (%1.): %2\n")
                     .arg(from)
                     .arg(connection.path());
    else
        m_out << QStringLiteral("Az adatbázis frissítve a(z) %1. változatról a(z) %2. "
                                "változatra, egyetlen sor sem veszett el: %3\n")
                     .arg(from)
                     .arg(db::schema::currentVersion)
                     .arg(connection.path());
}

void UpkeepAdmin::moveUp(const QString &connectionText, const QString &role)
{
    // Nobody may work on the file meanwhile: a write after the copy would be lost.
    db::Connection file;
    file.openDepartmentFile(m_programDir, db::Connection::Use::Alone);
    db::Connection server;
    server.openServer(connectionText, db::Connection::Mode::ExistingAnyVersion);
    const QList<db::TableCount> counts = server.engine().takeOver(file, role);
    m_out << QStringLiteral("Az adatbázisfájl átkerült a kiszolgálóra: %1\n").arg(server.path());
    for (const db::TableCount &count : counts)
        m_out << QStringLiteral("  ") << count.table.leftJustified(10, u' ')
              << QString::number(count.copiedRows).rightJustified(10, u' ')
              << QStringLiteral(" sor\n");
    m_out << QStringLiteral("Minden tábla sorainak száma egyezik a fájlbelivel.\n");
    if (!role.isEmpty())
        m_out << QStringLiteral("A(z) %1 szerep olvashatja és írhatja az adatokat, a sémát nem "
                                "módosíthatja.\n")
                     .arg(role);
    if (!db::connectionfile::read(m_programDir))
        m_out << QStringLiteral("A munkaállomások akkor dolgoznak a kiszolgálón, ha a(z) %1 "
                                "kapcsolatfájl (vagy a program mappájában egy %2 fájl) nevezi "
                                "meg.\n")
                     .arg(QString::fromLatin1(db::connectionfile::installedMachineFile),
                          QString::fromLatin1(db::connectionfile::fileName));
}

} // namespace admin
