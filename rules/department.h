#pragma once

#include <QString>

#include <optional>

// The department's registration and the entry password check, apart from their windows.
namespace rules {

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

// The login's answer to a typed password: the message that refuses it, or none when it is
// the stored one exactly (case and blanks count). An empty stored password lets nobody in.
std::optional<QString> loginRefusal(const QString &typed, const QString &stored);

} // namespace rules
