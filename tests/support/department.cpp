#include "department.h"

#include "rules/taj.h"

namespace testsupport {

Department::Department(FirstStart)
    : state(&mainWidget, dir.path())
{
    state.connect();
}

Department::Department(const QString &type)
    : Department(firstStart)
{
    insertDepartment(state.connection(), QStringLiteral("1234"), QStringLiteral("123456789"), type,
                     QStringLiteral("Belgyógyászat"), QStringLiteral("titok"));
    state.grantAccess();
    state.departmentRow().open();
    state.setAktTAJ(rules::noTaj());
    state.setAktBeavtip(type == u"J" ? 0 : -1);
}

qint64 Department::entry(qint64 list, const QString &taj, QDate listara, const QString &esemKod,
                         const QString &nev, const QString &surgosseg)
{
    return insertEntry(state.connection(), list, taj, nev, listara, surgosseg, esemKod);
}

} // namespace testsupport
