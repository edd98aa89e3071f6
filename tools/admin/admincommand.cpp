#include "admincommand.h"

#include "departmentadmin.h"
#include "eventadmin.h"
#include "listadmin.h"
#include "messages.h"
#include "passwordsource.h"
#include "statisticsadmin.h"
#include "upkeepadmin.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/server/connectionfile.h"
#include "report/dailyreport.h"

#include <QDir>
#include <QTextStream>

namespace admin {

namespace {

const AdminCommand::Declaration *find(const QString &name)
{
    for (const AdminCommand::Declaration &command : AdminCommand::commands()) {
        if (command.name() == name)
            return &command;
    }
    return nullptr;
}

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, u' ');
}

// A connection text typed on the command line, its form checked before anything is opened.
QString connectionText(const QString &typed)
{
    return db::connectionfile::checkedConnectionText(typed, message::commandLine.toString());
}

QString rightAligned(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, u' ');
}

} // namespace

AdminCommand::AdminCommand(QTextStream &out, QTextStream &err, PasswordSource &passwords,
                           const QString &toolDir)
    : m_out(out)
    , m_err(err)
    , m_passwords(passwords)
    , m_programDir(toolDir)
{
}

int AdminCommand::usageError(const QString &text)
{
    m_err << text << message::seeHelp;
    m_err.flush();
    return Usage;
}

int AdminCommand::run(const QStringList &arguments)
{
    QStringList args = arguments;
    if (args.isEmpty())
        return usageError(message::noCommand.toString());
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))
        || args.first() == u"sugo") {
        m_out << helpText();
        m_out.flush();
        return Success;
    }
    if (args.first() == u"--mappa") {
        if (args.size() < 2)
            return usageError(QStringLiteral("A --mappa után a program mappája következik."));
        m_programDir = args.at(1);
        args.remove(0, 2);
    }
    if (args.isEmpty())
        return usageError(message::noCommand.toString());
    const QString name = args.takeFirst();
    const Declaration *command = find(name);
    if (!command)
        return usageError(message::unknownCommand.arg(name));
    if (args.size() < command->least || args.size() > command->most)
        return usageError(message::badArguments.arg(name));

    int status = Failure;
    try {
        status = dispatch(*command, args);
    } catch (const db::Error &e) {
        m_err << e.message() << u'\n';
        status = Failure;
    } catch (const std::exception &e) {
        m_err << QString::fromLocal8Bit(e.what()) << u'\n';
        status = Failure;
    }
    m_out.flush();
    m_err.flush();
    return status;
}

int AdminCommand::dispatch(const Declaration &command, const QStringList &args)
{
    if (command.onFolder)
        return (this->*command.onFolder)(args);
    db::Connection connection;
    connection.openDepartment(m_programDir);
    return (this->*command.onDatabase)(connection, args);
}

int AdminCommand::showLists(db::Connection &connection, const QStringList & /*args*/)
{
    m_out << QStringLiteral("  Kód  Fajta                 Listán  Összes  Név\n");
    for (const ListRow &row : ListAdmin(connection).lists())
        m_out << rightAligned(row.code, 5) << QStringLiteral("  ")
              << padded(ListAdmin::kindName(row.kind), 20) << rightAligned(row.members, 8)
              << rightAligned(row.entries, 8) << QStringLiteral("  ") << row.name << u'\n';
    return Success;
}

int AdminCommand::showEvents(db::Connection &connection, const QStringList & /*args*/)
{
    m_out << QStringLiteral("Kód  Listán  Bejegyzés  Név\n");
    for (const EventRow &row : EventAdmin(connection).events())
        m_out << padded(row.code, 3) << QStringLiteral("  ")
              << padded(row.onList ? QStringLiteral("igen") : QStringLiteral("nem"), 6)
              << rightAligned(row.entries, 11) << QStringLiteral("  ") << row.name << u'\n';
    return Success;
}

int AdminCommand::showDepartment(db::Connection &connection, const QStringList & /*args*/)
{
    const auto row = DepartmentAdmin(connection).department();
    if (!row) {
        m_out << message::notRegistered << u'\n';
        return Success;
    }
    m_out << QStringLiteral("Az Intézet DORV kódja:         %1\n").arg(row->intkod)
          << QStringLiteral("A finanszírozási kód:          %1\n").arg(row->finkod)
          << QStringLiteral("Az Osztály megnevezése:        %1\n").arg(row->name)
          << QStringLiteral("Az Osztály típusa:             %1\n")
                 .arg(DepartmentAdmin::typeName(row->type));
    return Success;
}

int AdminCommand::changeDepartment(db::Connection &connection, const QStringList &args)
{
    DepartmentChange change;
    for (int i = 0; i < args.size(); i += 2) {
        const QString &option = args.at(i);
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("A(z) „%1” után az új érték következik.").arg(option));
        const QString &value = args.at(i + 1);
        if (option == u"--intezet")
            change.intkod = value;
        else if (option == u"--finkod")
            change.finkod = value;
        else if (option == u"--nev")
            change.name = value;
        else if (option == u"--tipus")
            change.type = value;
        else
            return usageError(QStringLiteral("Ismeretlen kapcsoló: „%1”.").arg(option));
    }
    DepartmentAdmin department(connection);
    department.change(change);
    m_out << QStringLiteral("Az osztály adatai módosítva.\n");
    return showDepartment(connection, {});
}

int AdminCommand::newPassword(db::Connection &connection, const QStringList & /*args*/)
{
    DepartmentAdmin department(connection);
    if (!department.department())
        throw db::Error(message::notRegistered.toString());
    const std::optional<QString> password
        = m_passwords.read(QStringLiteral("Új belépési jelszó: "));
    const std::optional<QString> again
        = password ? m_passwords.read(QStringLiteral("még egyszer: ")) : std::nullopt;
    if (!password || !again)
        throw db::Error(QStringLiteral("A jelszót kétszer kell beírni; a jelszó nem változott."));
    department.setPassword(*password, *again);
    m_out << QStringLiteral("Az új belépési jelszó érvényes a program következő indításától.\n");
    return Success;
}

int AdminCommand::moveUp(const QStringList &args)
{
    QString role;
    QStringList rest = args;
    if (!rest.isEmpty() && rest.first() == u"--szerep") {
        if (rest.size() < 2)
            return usageError(
                QStringLiteral("A --szerep után a munkaállomások szerepe következik."));
        role = rest.at(1);
        rest.remove(0, 2);
    }
    if (rest.size() > 1)
        return usageError(message::badArguments.arg(u"kiszolgalora"));
    QString connection;
    if (!rest.isEmpty()) {
        connection = connectionText(rest.first());
    } else if (const std::optional<QString> file = db::connectionfile::read(m_programDir)) {
        connection = *file;
    } else {
        return usageError(QStringLiteral("Nincs megadva a kiszolgáló, és kapcsolatfájl sincs "
                                         "(%1 vagy a program mappájában %2).")
                              .arg(QString::fromLatin1(db::connectionfile::installedMachineFile),
                                   QString::fromLatin1(db::connectionfile::fileName)));
    }
    UpkeepAdmin(m_out, m_err, m_programDir).moveUp(connection, role);
    return Success;
}

int AdminCommand::report(db::Connection &connection, const QStringList & /*args*/)
{
    const report::DailyReport outcome
        = report::makeDailyReport(connection, m_programDir, db::today());
    switch (outcome.outcome) {
    case report::DailyReport::Outcome::Written:
        m_out << outcome.message << u'\n';
        return Success;
    case report::DailyReport::Outcome::NoRows:
        m_err << outcome.message << u'\n';
        return NoReportRows;
    case report::DailyReport::Outcome::Failed:
        break;
    }
    m_err << outcome.message << u'\n';
    return Failure;
}

int AdminCommand::statistics(const QStringList &args)
{
    const StatisticsAdmin::Request request = StatisticsAdmin::parse(args);
    if (!request.error.isEmpty())
        return usageError(request.error);
    db::Connection connection;
    connection.openDepartment(m_programDir);
    StatisticsAdmin figures(connection);
    m_out << (request.csv ? figures.csvText(request.list, db::today())
                          : figures.text(request.list, db::today()));
    return Success;
}

int AdminCommand::addList(db::Connection &connection, const QStringList &args)
{
    ListAdmin(connection).add(args.at(0), args.at(1), args.at(2));
    m_out << QStringLiteral("Az új lista felvéve: %1 – %2\n").arg(args.at(0), args.at(1));
    return Success;
}

int AdminCommand::renameList(db::Connection &connection, const QStringList &args)
{
    ListAdmin(connection).rename(args.at(0), args.at(1));
    m_out << QStringLiteral("A(z) %1 kódú lista új neve: %2\n").arg(args.at(0), args.at(1));
    return Success;
}

int AdminCommand::changeListKind(db::Connection &connection, const QStringList &args)
{
    ListAdmin(connection).changeKind(args.at(0), args.at(1));
    m_out << QStringLiteral("A(z) %1 kódú lista fajtája módosítva.\n").arg(args.at(0));
    return Success;
}

int AdminCommand::removeList(db::Connection &connection, const QStringList &args)
{
    ListAdmin(connection).remove(args.at(0));
    m_out << QStringLiteral("A(z) %1 kódú lista törölve.\n").arg(args.at(0));
    return Success;
}

int AdminCommand::addEvent(db::Connection &connection, const QStringList &args)
{
    EventAdmin(connection).add(args.at(0), args.at(1), args.at(2));
    m_out << QStringLiteral("Az új esemény felvéve: %1 – %2\n").arg(args.at(0), args.at(1));
    return Success;
}

int AdminCommand::renameEvent(db::Connection &connection, const QStringList &args)
{
    EventAdmin(connection).rename(args.at(0), args.at(1));
    m_out << QStringLiteral("A(z) „%1” kódú esemény új neve: %2\n").arg(args.at(0), args.at(1));
    return Success;
}

int AdminCommand::removeEvent(db::Connection &connection, const QStringList &args)
{
    EventAdmin(connection).remove(args.at(0));
    m_out << QStringLiteral("A(z) „%1” kódú esemény törölve.\n").arg(args.at(0));
    return Success;
}

int AdminCommand::backup(const QStringList &args)
{
    UpkeepAdmin(m_out, m_err, m_programDir)
        .backup(args.isEmpty() ? QDir(m_programDir).filePath(QStringLiteral("Mentesek"))
                               : args.at(0));
    return Success;
}

int AdminCommand::restore(const QStringList &args)
{
    UpkeepAdmin(m_out, m_err, m_programDir)
        .restore(args.at(0), args.size() < 2 ? QString() : connectionText(args.at(1)));
    return Success;
}

int AdminCommand::check(const QStringList &args)
{
    return UpkeepAdmin(m_out, m_err, m_programDir).check(args.value(0)) ? Success : Failure;
}

int AdminCommand::upgrade(const QStringList &args)
{
    UpkeepAdmin(m_out, m_err, m_programDir)
        .upgrade(args.isEmpty() ? QString() : connectionText(args.at(0)));
    return Success;
}

} // namespace admin
