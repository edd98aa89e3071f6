#pragma once

#include <QString>

#include <optional>

namespace db {
class Dataset;
}

// The department's registration and the entry password check, apart from their windows.
namespace dept {

// The registration dialog's input, as typed.
struct DepartmentInput
{
    QString intkod;
    QString finkod;
    QString name;
    int typeIndex = -1; // 0 outpatient, 1 inpatient, -1 not chosen
    QString password;
    QString passwordAgain;
};

// The input that a refused registration sends the focus to.
enum class DepartmentField { Intkod, Finkod, Type, Password };

struct InputProblem
{
    QString message;
    DepartmentField field;
};

// The first check the input fails, or none. Only emptiness is asked of the codes.
std::optional<InputProblem> registrationProblem(const DepartmentInput &input);
// The checks of the department's data alone (codes and type), in the same order; a
// correction of the data asks these.
std::optional<InputProblem> departmentDataProblem(const DepartmentInput &input);
// The checks of a new entry password and its confirmation.
std::optional<InputProblem> passwordProblem(const QString &password, const QString &again);

// JAROFEKVO: "J" for index 0 (outpatient), "F" for any other.
QString departmentTypeLetter(int typeIndex);

enum class RegisterOutcome { Inserted, AlreadyRegistered };

// Writes the one department row through the query, on the query's own connection: the
// registration is what grants access, so it cannot ask the guarded one. One write
// transaction first makes sure OSZTALY is still empty, so two instances registering at once
// never make two rows; nothing is written when a row is there already. Throws db::Error when
// the write fails; the transaction is over (rolled back) by then.
RegisterOutcome registerDepartment(db::Dataset &query, const DepartmentInput &input);

// The login's answer to a typed password: the message that refuses it, or none when it is
// the stored one exactly (case and blanks count). An empty stored password lets nobody in.
std::optional<QString> loginRefusal(const QString &typed, const QString &stored);

} // namespace dept
