#include "serverdatabase.h"

#include "tempdatabase.h"

#include "db/servermove.h"
#include "db/serversession.h"

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
    db::ServerSession session(maintenanceDatabase(), db::ServerSession::Check::None);
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

QString newProgramServerDatabase(const QString &templateFile)
{
    static QHash<QString, QString> templates;
    QString &templateName = templates[templateFile];
    if (templateName.isEmpty()) {
        const QString name = databaseName(QStringLiteral("minta"));
        createDatabase(name);
        db::ServerSession session(QStringLiteral("dbname=") + name, db::ServerSession::Check::None);
        db::servermove::moveFile(templateFile, session);
        templateName = name;
    }
    const QString name = databaseName(QStringLiteral("program"));
    createDatabase(name, templateName);
    return QStringLiteral("dbname=") + name;
}

} // namespace testsupport
