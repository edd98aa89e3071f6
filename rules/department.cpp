#include "department.h"

#include "dataset/dataset.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/statements.h"
#include "db/writetransaction.h"

namespace dept {

std::optional<InputProblem> registrationProblem(const DepartmentInput &input)
{
    if (auto problem = departmentDataProblem(input))
        return problem;
    return passwordProblem(input.password, input.passwordAgain);
}

std::optional<InputProblem> departmentDataProblem(const DepartmentInput &input)
{
    if (input.intkod.isEmpty())
        return InputProblem{QStringLiteral("Üres az DORV kód!"), DepartmentField::Intkod};
    if (input.finkod.isEmpty())
        return InputProblem{QStringLiteral("Üres a finanszírozási kód!"), DepartmentField::Finkod};
    if (input.typeIndex == -1)
        return InputProblem{QStringLiteral("Nincs kiválasztva az osztály típusa!"),
                            DepartmentField::Type};
    return std::nullopt;
}

std::optional<InputProblem> passwordProblem(const QString &password, const QString &again)
{
    if (password.size() < 2)
        return InputProblem{QStringLiteral("A Jelszó legalább 2 karakter legyen!"),
                            DepartmentField::Password};
    if (password != again)
        return InputProblem{QStringLiteral("A Jelszó és a megerősítése nem egyezik!"),
                            DepartmentField::Password};
    return std::nullopt;
}

QString departmentTypeLetter(int typeIndex)
{
    return typeIndex == 0 ? QStringLiteral("J") : QStringLiteral("F");
}

RegisterOutcome registerDepartment(db::Dataset &query, const DepartmentInput &input)
{
    db::Connection *connection = query.connection();
    if (!connection || !connection->isOpen())
        throw db::Error(QStringLiteral("Nincs kapcsolat az adatbázissal."));
    db::WriteTransaction transaction(*connection);
    // Two workstations registering at once: the second waits, then finds the first one's row.
    transaction.guardTable(QStringLiteral("OSZTALY"));

    db::Dataset existing;
    existing.setConnection(connection);
    existing.setTableName(QStringLiteral("OSZTALY"));
    existing.open();
    const bool taken = existing.recordCount() > 0;
    existing.close();
    if (taken)
        return RegisterOutcome::AlreadyRegistered;

    query.setSql(db::statements::insertOsztaly(input.intkod, input.finkod,
                                               departmentTypeLetter(input.typeIndex), input.name,
                                               input.password));
    query.execute();
    transaction.commit();
    return RegisterOutcome::Inserted;
}

std::optional<QString> loginRefusal(const QString &typed, const QString &stored)
{
    if (typed.isEmpty())
        return QStringLiteral("Üres a Jelszó!");
    if (typed != stored)
        return QStringLiteral("Nem megfelelő jelszó!");
    return std::nullopt;
}

} // namespace dept
