#include "mainstate.h"

#include "db/connection.h"
#include "db/connectionfile.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/fields.h"

#include <QDir>

#include <optional>

namespace ui {

MainState::MainState(QWidget *mainWidget, const QString &programDir)
    : m_mainWidget(mainWidget)
    , m_programDir(programDir)
    , m_atOsztaly(QStringLiteral("atOsztaly"))
    , m_aqAlt(QStringLiteral("aqAlt"))
    , m_atListaDb(QStringLiteral("atListaDb"))
    , m_atJelentes(QStringLiteral("atJelentes"))
    , m_dsListaDb(QStringLiteral("dsListaDb"))
{
    for (db::Dataset *ds : {&m_atOsztaly, &m_aqAlt, &m_atListaDb, &m_atJelentes})
        ds->setConnection(&m_connection);
    m_atOsztaly.setTableName(QStringLiteral("OSZTALY"));
    m_atOsztaly.setFields(db::fields::osztaly());
    m_atListaDb.setTableName(QStringLiteral("QLISTADB"));
    m_atListaDb.setFields(db::fields::listSummary());
    m_atJelentes.setTableName(QStringLiteral("QJELENTES"));
    m_atJelentes.setFields(db::fields::report());
    m_dsListaDb.setDataset(&m_atListaDb);
}

MainState::~MainState()
{
    m_dsListaDb.setDataset(nullptr);
}

void MainState::connect()
{
    // The department's data on a server has no file to restore from a backup.
    if (const std::optional<QString> server = db::connectionfile::read(m_programDir)) {
        m_connection.openServer(*server);
        return;
    }
    const QString path = QDir(m_programDir).filePath(QString::fromLatin1(db::databaseFileName));
    // Where the side file cannot be made the folder is not writable either, and opening the
    // database says so in its own words.
    if (!m_useLock.isLocked()
        && m_useLock.tryLock(path, db::UseLock::Kind::Shared) == db::UseLock::Result::Busy)
        throw db::Error(QStringLiteral("Az adatbázist éppen visszaállítják egy mentésből, ezért "
                                       "most nem nyitható meg: %1\nPróbálja újra néhány perc "
                                       "múlva!")
                            .arg(QDir::toNativeSeparators(path)));
    m_connection.open(path);
}

void MainState::requireAccess() const
{
    // Patient data only for someone who got through the registration or login in this run.
    if (!m_accessGranted)
        throw db::Error(QStringLiteral(
            "Az adatok csak sikeres bejelentkezés után érhetők el. Indítsa újra a programot!"));
}

db::Connection &MainState::acZazadoroz()
{
    requireAccess();
    if (!m_connection.isOpen())
        connect();
    return m_connection;
}

} // namespace ui
