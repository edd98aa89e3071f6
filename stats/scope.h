#pragma once

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace stats {

// Whose figures are shown: the entries of one list, or of every list of one kind.
struct Scope
{
    enum class Extent { OneList, WholeKind };
    Extent extent = Extent::OneList;
    qint64 list = 0; // BEAVTIP_KOD, for one list
    QString kind;    // BEAVTIP_FAJTA: "V", "B" or "J"
    QString label;   // how the window and the tool name it

    // The statement condition that keeps the entries in scope.
    QString condition() const;
};

// What may be looked at, in the order offered: every waiting list together, then each waiting
// list, then the same for the patient-admission lists, then the outpatient list and any list
// of no known kind.
QList<Scope> scopeChoices(db::Connection &connection);

// The department as a whole, each list once: every kind's lists together where they are put
// together, otherwise each list alone.
QList<Scope> wholeDepartment(const QList<Scope> &choices);

// The choice that shows one list, or none.
const Scope *findList(const QList<Scope> &choices, qint64 list);

} // namespace stats
