#include "department.h"

#include "messages.h"

namespace rules {

std::optional<InputProblem> registrationProblem(const DepartmentInput &input)
{
    if (auto problem = departmentDataProblem(input))
        return problem;
    return passwordProblem(input.password, input.passwordAgain);
}

std::optional<InputProblem> departmentDataProblem(const DepartmentInput &input)
{
    if (input.intkod.isEmpty())
        return InputProblem{message::intkodEmpty.toString(), DepartmentField::Intkod};
    if (input.finkod.isEmpty())
        return InputProblem{message::finkodEmpty.toString(), DepartmentField::Finkod};
    if (input.typeIndex == -1)
        return InputProblem{message::typeNotChosen.toString(), DepartmentField::Type};
    return std::nullopt;
}

std::optional<InputProblem> passwordProblem(const QString &password, const QString &again)
{
    if (password.size() < 2)
        return InputProblem{message::passwordTooShort.toString(), DepartmentField::Password};
    if (password != again)
        return InputProblem{message::passwordMismatch.toString(), DepartmentField::Password};
    return std::nullopt;
}

QString departmentTypeLetter(int typeIndex)
{
    return typeIndex == 0 ? QStringLiteral("J") : QStringLiteral("F");
}

std::optional<QString> loginRefusal(const QString &typed, const QString &stored)
{
    if (typed.isEmpty())
        return message::passwordEmpty.toString();
    if (typed != stored)
        return message::passwordWrong.toString();
    return std::nullopt;
}

} // namespace rules
