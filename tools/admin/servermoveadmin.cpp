#include "servermoveadmin.h"

#include "db/error.h"
#include "db/serversession.h"
#include "db/uselock.h"

#include <QDir>
#include <QFileInfo>

namespace admin {

ServerMoveAdmin::ServerMoveAdmin(const QString &databasePath, const QString &connectionText)
    : m_databasePath(databasePath)
    , m_connectionText(connectionText)
{
}

QList<db::servermove::TableCount> ServerMoveAdmin::move(const QString &programRole)
{
    const QString shown = QDir::toNativeSeparators(m_databasePath);
    if (!QFileInfo::exists(m_databasePath))
        throw db::Error(QStringLiteral("Nincs meg az adatbázisfájl: %1").arg(shown));
    db::UseLock lock;
    switch (lock.tryLock(m_databasePath, db::UseLock::Kind::Exclusive)) {
    case db::UseLock::Result::Busy:
        throw db::Error(QStringLiteral("Az adatbázist most is használja valaki (a program egy "
                                       "példánya vagy ez az eszköz), ezért nem vihető át a "
                                       "kiszolgálóra: %1\nZárja be a programot minden gépen, "
                                       "majd próbálja újra. Semmi sem változott.")
                            .arg(shown));
    case db::UseLock::Result::Unavailable:
        throw db::Error(
            QStringLiteral("Az adatbázis zárolása nem sikerült (%1): %2")
                .arg(lock.errorString(),
                     QDir::toNativeSeparators(db::UseLock::sideFilePath(m_databasePath))));
    case db::UseLock::Result::Locked:
        break;
    }
    db::ServerSession session(m_connectionText, db::ServerSession::Check::None);
    m_description = session.description();
    return db::servermove::moveFile(m_databasePath, session, programRole);
}

} // namespace admin
