#include "serverdatabase.h"

#include "tempdatabase.h"

#include "db/connection.h"
#include "db/engine.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QTest>

namespace testsupport {

namespace {

int serial = 0;

QString databaseName(const QString &kind)
{
    return QStringLiteral("%1_%2_%3")
        .arg(kind)
        .arg(QCoreApplication::applicationPid())
        .arg(++serial);
}

// pg_ctlcluster on the cluster pg_virtualenv made for this run; its tools want a locale the
// system has.
void controlCluster(const QString &action)
{
    QProcess control;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    control.setProcessEnvironment(environment);
    control.setProcessChannelMode(QProcess::ForwardedChannels);
    control.start(QStringLiteral("pg_ctlcluster"),
                  {qEnvironmentVariable("PGVERSION"), QStringLiteral("regress"), action});
    const bool done = control.waitForFinished(60000) && control.exitStatus() == QProcess::NormalExit
                      && control.exitCode() == 0;
    if (!done)
        qFatal("pg_ctlcluster %s failed", qPrintable(action));
}

void createDatabase(const QString &name, const QString &templateName = {})
{
    db::Connection session;
    session.openServer(maintenanceDatabase(), db::Connection::Mode::ExistingAnyVersion);
    session.execute(
        QStringLiteral("CREATE DATABASE ") + name
        + (templateName.isEmpty() ? QString() : QStringLiteral(" TEMPLATE ") + templateName));
}

} // namespace

bool serverEngine()
{
    return qEnvironmentVariable("ZAZADOROZ_TEST_ENGINE") == u"server";
}

QString maintenanceDatabase()
{
    return QStringLiteral("dbname=postgres");
}

QString newServerDatabase()
{
    const QString name = databaseName(QStringLiteral("proba"));
    createDatabase(name);
    return QStringLiteral("dbname=") + name;
}

QList<db::TableCount> moveUp(const QString &file, const QString &server, const QString &role)
{
    db::Connection source;
    source.open(file);
    db::Connection target;
    target.openServer(server, db::Connection::Mode::ExistingAnyVersion);
    return target.engine().takeOver(source, role);
}

qint64 programRows(db::Connection &connection)
{
    qint64 total = 0;
    for (const db::TableShape &table : connection.engine().shape().tables) {
        if (db::schema::tables().end()
            != std::find_if(db::schema::tables().begin(), db::schema::tables().end(),
                            [&](const db::schema::Table &t) {
                                return table.name == QLatin1StringView(t.name);
                            }))
            total += connection.scalar(QStringLiteral("SELECT count(*) FROM ") + table.name)
                         .toLongLong();
    }
    return total;
}

bool isEmptyServerDatabase(const QString &server)
{
    db::Connection connection;
    connection.openServer(server, db::Connection::Mode::ExistingAnyVersion);
    const db::SchemaShape shape = connection.engine().shape();
    return shape.tables.isEmpty() && shape.savedQueries.isEmpty()
           && connection.schemaVersion() == 0;
}

QString newProgramServerDatabase(const QString &templateFile)
{
    static QHash<QString, QString> templates;
    QString &templateName = templates[templateFile];
    if (templateName.isEmpty()) {
        const QString name = databaseName(QStringLiteral("minta"));
        createDatabase(name);
        moveUp(templateFile, QStringLiteral("dbname=") + name);
        templateName = name;
    }
    const QString name = databaseName(QStringLiteral("program"));
    createDatabase(name, templateName);
    return QStringLiteral("dbname=") + name;
}

void stopServer()
{
    controlCluster(QStringLiteral("stop"));
}

void startServer()
{
    controlCluster(QStringLiteral("start"));
}

StoppedServer::~StoppedServer()
{
    if (m_stopped)
        startServer();
}

void StoppedServer::start()
{
    m_stopped = false;
    startServer();
}

void breakSessionOnce(db::Connection &connection, const QString &name, const QString &when,
                      bool deferred)
{
    // The sequence counts outside every transaction, so the undone first try still counts.
    connection.execute(
        QStringLiteral("CREATE SEQUENCE %1_runs; "
                       "CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
                       "IF nextval('%1_runs') = 1 THEN "
                       "PERFORM pg_terminate_backend(pg_backend_pid()); END IF; "
                       "RETURN NULL; END$$; "
                       "CREATE %2 TRIGGER %1 %3 %4 FOR EACH ROW EXECUTE FUNCTION %1()")
            .arg(name, deferred ? QStringLiteral("CONSTRAINT") : QString(), when,
                 deferred ? QStringLiteral("DEFERRABLE INITIALLY DEFERRED") : QString()));
}

qint64 breaks(db::Connection &connection, const QString &name)
{
    return connection
        .scalar(QStringLiteral("SELECT CASE WHEN is_called THEN last_value ELSE 0 END FROM "
                               "%1_runs")
                    .arg(name))
        .toLongLong();
}

} // namespace testsupport
