#include "mainstate.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/connection.h"
#include "db/error.h"

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
    m_connection.openDepartment(m_programDir);
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
