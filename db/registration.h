#pragma once

#include <QString>

namespace db {

class Connection;

// The department's one OSZTALY row, as the registration writes it; type is "J" or "F".
struct DepartmentRow
{
    QString intkod;
    QString finkod;
    QString type;
    QString name;
    QString password;
};

enum class Registration { Inserted, AlreadyRegistered };

// Writes the department's row with the registration's statement. One write transaction first
// makes sure OSZTALY is still empty, so two instances registering at once never make two
// rows; nothing is written when a row is there already. Throws db::Error when the write
// fails; the transaction is over (rolled back) by then.
Registration registerDepartment(Connection &connection, const DepartmentRow &row);

} // namespace db
