#include "adminstatements.h"

namespace db::statements {

namespace {

// The event's columns, the flag and its entries: no "IS" of a value, which only the file
// reads.
constexpr auto eventColumns
    = "SELECT ES_KOD, ES_NEV, CASE WHEN LISTAN = 'I' THEN 1 ELSE 0 END, (SELECT count(*) FROM "
      "LISTA WHERE LISTA.ESEM_KOD = ESEMENY.ES_KOD) FROM ESEMENY";

// The department's row as it was read: a null and an empty text are one here, as the
// windows show them alike. Neither engine has a row number both read, so the values are.
constexpr auto asRead
    = " WHERE coalesce(INTKOD, '') = coalesce(?, '') AND coalesce(FINKOD, '') = coalesce(?, '') "
      "AND coalesce(JAROFEKVO, '') = coalesce(?, '') AND coalesce(OSZTALYNEV, '') = "
      "coalesce(?, '') AND coalesce(JELSZO, '') = coalesce(?, '')";

} // namespace

QString eventsWithUse()
{
    return QLatin1StringView(eventColumns) + QStringLiteral(" ORDER BY ES_KOD");
}

QString eventWithUse()
{
    return QLatin1StringView(eventColumns) + QStringLiteral(" WHERE ES_KOD = ?");
}

QString eventsNamed()
{
    return QStringLiteral("SELECT ES_KOD FROM ESEMENY WHERE ES_NEV = ?");
}

QString eventName()
{
    return QStringLiteral("SELECT ES_NEV FROM ESEMENY WHERE ES_KOD = ?");
}

QString renameEvent()
{
    return QStringLiteral("UPDATE ESEMENY SET ES_NEV = ? WHERE ES_KOD = ?");
}

QString deleteEvent()
{
    return QStringLiteral("DELETE FROM ESEMENY WHERE ES_KOD = ?");
}

QString eventCodes()
{
    return QStringLiteral("SELECT ES_KOD FROM ESEMENY");
}

QString listsWithCounts()
{
    return QStringLiteral(
        "SELECT BEAV_TIP.BEAVTIP_KOD, BEAV_TIP.BEAVTIP_NEV, BEAV_TIP.BEAVTIP_FAJTA,\n"
        "    (SELECT count(*) FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"
        "     WHERE LISTA.BEAVTIP_KOD = BEAV_TIP.BEAVTIP_KOD AND ESEMENY.LISTAN = 'I'),\n"
        "    (SELECT count(*) FROM LISTA WHERE LISTA.BEAVTIP_KOD = BEAV_TIP.BEAVTIP_KOD)\n"
        "FROM BEAV_TIP ORDER BY BEAV_TIP.BEAVTIP_KOD");
}

QString listsNamed()
{
    return QStringLiteral(
        "SELECT BEAVTIP_KOD FROM BEAV_TIP WHERE BEAVTIP_NEV = ? AND BEAVTIP_KOD <> ?");
}

QString renameList()
{
    return QStringLiteral("UPDATE BEAV_TIP SET BEAVTIP_NEV = ? WHERE BEAVTIP_KOD = ?");
}

QString changeListKind()
{
    return QStringLiteral("UPDATE BEAV_TIP SET BEAVTIP_FAJTA = ? WHERE BEAVTIP_KOD = ?");
}

QString deleteList()
{
    return QStringLiteral("DELETE FROM BEAV_TIP WHERE BEAVTIP_KOD = ?");
}

QString listEntryCounts()
{
    return QStringLiteral("SELECT count(*), coalesce(sum(CASE WHEN ESEMENY.LISTAN = 'I' THEN 1 "
                          "ELSE 0 END), 0) FROM LISTA LEFT JOIN ESEMENY ON LISTA.ESEM_KOD = "
                          "ESEMENY.ES_KOD WHERE LISTA.BEAVTIP_KOD = ?");
}

QString listKinds()
{
    return QStringLiteral("SELECT BEAVTIP_KOD, BEAVTIP_FAJTA FROM BEAV_TIP");
}

QString department()
{
    return QStringLiteral(
        "SELECT INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO FROM OSZTALY LIMIT 1");
}

QString updateDepartment()
{
    return QStringLiteral("UPDATE OSZTALY SET INTKOD = ?, FINKOD = ?, JAROFEKVO = ?, "
                          "OSZTALYNEV = ?")
           + QLatin1StringView(asRead);
}

QString updatePassword()
{
    return QStringLiteral("UPDATE OSZTALY SET JELSZO = ?") + QLatin1StringView(asRead);
}

QString departmentRows()
{
    return QStringLiteral("SELECT count(*) FROM OSZTALY");
}

} // namespace db::statements
