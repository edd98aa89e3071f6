#include "departmentadmin.h"

#include "messages.h"
#include "textchecks.h"

#include "db/adminstatements.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"
#include "report/reportfile.h"
#include "rules/department.h"

#include <QStringList>

namespace admin {

namespace {

// The department's row as stored, its five values in the order the statements name them (a
// null reads as empty text).
std::optional<QStringList> storedRow(db::Connection &connection)
{
    db::Statement statement(connection, db::statements::department());
    if (!statement.step())
        return std::nullopt;
    QStringList values;
    for (int column = 0; column < 5; ++column)
        values << statement.text(column);
    return values;
}

void bindAsRead(db::Statement &statement, int first, const QStringList &row)
{
    for (int i = 0; i < row.size(); ++i)
        statement.bind(first + i, row.at(i));
}

// The radio group's index: 0 outpatient, 1 inpatient.
int typeIndex(const QString &text)
{
    const QString word = text.toLower();
    if (word == u"j" || word == u"jaro" || word == u"jarobeteg")
        return 0;
    if (word == u"f" || word == u"fekvo" || word == u"fekvobeteg")
        return 1;
    throw db::Error(QStringLiteral("Ismeretlen osztálytípus: „%1”. Lehet: jaro (járóbeteg) vagy "
                                   "fekvo (fekvőbeteg).")
                        .arg(text));
}

db::Error notRegistered()
{
    return db::Error(message::notRegistered.toString());
}

} // namespace

DepartmentAdmin::DepartmentAdmin(db::Connection &connection)
    : m_connection(connection)
{
}

QString DepartmentAdmin::typeName(const QString &type)
{
    return type == u"J" ? QStringLiteral("járóbeteg-osztály")
                        : QStringLiteral("fekvőbeteg-osztály");
}

std::optional<DepartmentRow> DepartmentAdmin::department()
{
    const std::optional<QStringList> row = storedRow(m_connection);
    if (!row)
        return std::nullopt;
    return DepartmentRow{row->at(0), row->at(1), row->at(2), row->at(3)};
}

void DepartmentAdmin::change(const DepartmentChange &change)
{
    db::WriteTransaction transaction(m_connection);
    // Read and written by what was read: another workstation's change waits meanwhile.
    transaction.guardTable(QStringLiteral("OSZTALY"));
    const std::optional<QStringList> row = storedRow(m_connection);
    if (!row)
        throw notRegistered();
    const DepartmentRow current{row->at(0), row->at(1), row->at(2), row->at(3)};

    rules::DepartmentInput input;
    input.intkod = change.intkod.value_or(current.intkod);
    input.finkod = change.finkod.value_or(current.finkod);
    input.name = change.name.value_or(current.name);
    input.typeIndex = change.type ? typeIndex(*change.type) : (current.type == u"J" ? 0 : 1);
    if (const auto problem = rules::departmentDataProblem(input))
        throw db::Error(problem->message);
    requireFits(input.intkod, "OSZTALY", "INTKOD", QStringLiteral("Az Intézet DORV kódja"));
    requireFits(input.finkod, "OSZTALY", "FINKOD", QStringLiteral("A finanszírozási kód"));
    requireFits(input.name, "OSZTALY", "OSZTALYNEV", QStringLiteral("Az Osztály megnevezése"));
    // The financing code names the report files: what the report would refuse is refused here.
    if (const QString problem = report::financingCodeProblem(input.finkod); !problem.isEmpty())
        throw db::Error(problem);
    const QString type = rules::departmentTypeLetter(input.typeIndex);
    if (type == u"J") {
        // An outpatient department works on list 0 alone; without its row the TAJ search
        // would never find its patients.
        db::Statement list(m_connection, db::statements::listName());
        list.bind(1, 0);
        if (!list.step())
            throw db::Error(QStringLiteral("Járóbeteg-osztálynak kell a 0-s kódú lista; vegye fel "
                                           "előbb: vazuvede-admin lista-uj 0 NÉV J"));
    }

    db::Statement update(m_connection, db::statements::updateDepartment());
    update.bind(1, input.intkod);
    update.bind(2, input.finkod);
    update.bind(3, type);
    update.bind(4, input.name);
    bindAsRead(update, 5, *row);
    update.step();
    transaction.commit();
}

void DepartmentAdmin::setPassword(const QString &password, const QString &again)
{
    if (const auto problem = rules::passwordProblem(password, again))
        throw db::Error(problem->message);
    requireFits(password, "OSZTALY", "JELSZO", QStringLiteral("A Jelszó"), Echo::Nothing);

    db::WriteTransaction transaction(m_connection);
    transaction.guardTable(QStringLiteral("OSZTALY"));
    const std::optional<QStringList> row = storedRow(m_connection);
    if (!row)
        throw notRegistered();
    db::Statement update(m_connection, db::statements::updatePassword());
    update.bind(1, password);
    bindAsRead(update, 2, *row);
    update.step();
    transaction.commit();
}

} // namespace admin
