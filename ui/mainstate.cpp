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
{
    m_atOsztaly.setConnection(&m_connection);
    m_atOsztaly.setTableName(QStringLiteral("OSZTALY"));
    m_atOsztaly.setFields(db::fields::osztaly());
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

db::Dataset &MainState::atOsztaly()
{
    requireAccess();
    return m_atOsztaly;
}

db::Connection &MainState::acZazadoroz()
{
    requireAccess();
    if (!m_connection.isOpen())
        connect();
    return m_connection;
}

} // namespace ui
