#include "departmentadmin.h"

#include "textchecks.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/statement.h"
#include "db/textlimit.h"
#include "db/writetransaction.h"
#include "report/reportfile.h"
#include "rules/department.h"

namespace admin {

namespace {

const auto firstRow = "(SELECT rowid FROM OSZTALY ORDER BY rowid LIMIT 1)";

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
    return db::Error(QStringLiteral("Az osztály még nincs bejegyezve: adatait a program az első "
                                    "indításkor kéri."));
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
    db::Statement statement(m_connection,
                            QStringLiteral("SELECT INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV FROM "
                                           "OSZTALY ORDER BY rowid LIMIT 1"));
    if (!statement.step())
        return std::nullopt;
    return DepartmentRow{statement.text(0), statement.text(1), statement.text(2),
                         statement.text(3)};
}

void DepartmentAdmin::change(const DepartmentChange &change)
{
    db::WriteTransaction transaction(m_connection);
    const std::optional<DepartmentRow> current = department();
    if (!current)
        throw notRegistered();

    dept::DepartmentInput input;
    input.intkod = change.intkod.value_or(current->intkod);
    input.finkod = change.finkod.value_or(current->finkod);
    input.name = change.name.value_or(current->name);
    input.typeIndex = change.type ? typeIndex(*change.type) : (current->type == u"J" ? 0 : 1);
    if (const auto problem = dept::departmentDataProblem(input))
        throw db::Error(problem->message);
    requireFits(input.intkod, "OSZTALY", "INTKOD", QStringLiteral("Az Intézet DORV kódja"));
    requireFits(input.finkod, "OSZTALY", "FINKOD", QStringLiteral("A finanszírozási kód"));
    requireFits(input.name, "OSZTALY", "OSZTALYNEV", QStringLiteral("Az Osztály megnevezése"));
    // The financing code names the report files: what the report would refuse is refused here.
    if (const QString problem = report::financingCodeProblem(input.finkod); !problem.isEmpty())
        throw db::Error(problem);
    const QString type = dept::departmentTypeLetter(input.typeIndex);
    if (type == u"J") {
        // An outpatient department works on list 0 alone; without its row the TAJ search
        // would never find its patients.
        db::Statement list(m_connection, QStringLiteral("SELECT count(*) FROM BEAV_TIP WHERE "
                                                        "BEAVTIP_KOD = 0"));
        list.step();
        if (list.int64(0) == 0)
            throw db::Error(QStringLiteral("Járóbeteg-osztálynak kell a 0-s kódú lista; vegye fel "
                                           "előbb: vazuvede-admin lista-uj 0 NÉV J"));
    }

    db::Statement update(m_connection,
                         QStringLiteral("UPDATE OSZTALY SET INTKOD = ?, FINKOD = ?, JAROFEKVO = "
                                        "?, OSZTALYNEV = ? WHERE rowid = ")
                             + QLatin1String(firstRow));
    update.bind(1, input.intkod);
    update.bind(2, input.finkod);
    update.bind(3, type);
    update.bind(4, input.name);
    update.step();
    transaction.commit();
}

void DepartmentAdmin::setPassword(const QString &password, const QString &again)
{
    if (const auto problem = dept::passwordProblem(password, again))
        throw db::Error(problem->message);
    if (const int width = db::schema::width("OSZTALY", "JELSZO");
        db::characterCount(password) > width)
        throw db::Error(QStringLiteral("A Jelszó legfeljebb %1 karakter lehet.").arg(width));

    db::WriteTransaction transaction(m_connection);
    if (!department())
        throw notRegistered();
    db::Statement update(m_connection,
                         QStringLiteral("UPDATE OSZTALY SET JELSZO = ? WHERE rowid = ")
                             + QLatin1String(firstRow));
    update.bind(1, password);
    update.step();
    transaction.commit();
}

} // namespace admin
