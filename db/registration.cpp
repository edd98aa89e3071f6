#include "registration.h"

#include "adminstatements.h"
#include "connection.h"
#include "statement.h"
#include "statements.h"
#include "writetransaction.h"

namespace db {

Registration registerDepartment(Connection &connection, const DepartmentRow &row)
{
    WriteTransaction transaction(connection);
    // Two workstations registering at once: the second waits, then finds the first one's row.
    transaction.guardTable(QStringLiteral("OSZTALY"));
    if (connection.scalar(statements::departmentRows()).toLongLong() > 0)
        return Registration::AlreadyRegistered;

    Statement insert(connection, statements::insertOsztaly(row.intkod, row.finkod, row.type,
                                                           row.name, row.password));
    while (insert.step()) {
    }
    transaction.commit();
    return Registration::Inserted;
}

} // namespace db
