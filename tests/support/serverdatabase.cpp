#include "serverdatabase.h"

#include "tempdatabase.h"

#include "db/connection.h"
#include "db/engine.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QHash>

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

} // namespace testsupport
