#include "member.h"

#include "db/dataset.h"

namespace lists {

MemberFill newEntryFill(const QDate &today)
{
    MemberFill fill;
    fill.newEntry = true;
    fill.listara = today;
    fill.eventName = newEntryEventName();
    fill.esemDatum = today;
    return fill;
}

MemberFill eventFill(const db::Dataset &members, const QDate &today)
{
    MemberFill fill;
    fill.newEntry = false;
    fill.hivSzam = QString::number(members.asInteger(QStringLiteral("HIV_SZAM")));
    fill.taj = members.asText(QStringLiteral("TAJ"));
    fill.nev = members.asText(QStringLiteral("NEV"));
    fill.listara = members.asDateTime(QStringLiteral("LISTARA_DATUM")).date();
    // Only an exact "A" is acute; anything else, a lower-case "a" included, is deferrable.
    fill.surgos = members.asText(QStringLiteral("SURGOSSEG")) == u"A" ? 0 : 1;
    fill.esemDatum = today;
    return fill;
}

} // namespace lists
