#include "statistics.h"

#include "sqltext.h"

namespace db::statistics {

namespace {

QString onListCodes()
{
    return QStringLiteral("(SELECT ESEMENY.ES_KOD FROM ESEMENY WHERE ESEMENY.LISTAN = 'I')");
}

QString offListCodes()
{
    return QStringLiteral("(SELECT ESEMENY.ES_KOD FROM ESEMENY WHERE ESEMENY.LISTAN IS NULL OR "
                          "ESEMENY.LISTAN <> 'I')");
}

// 1 when the current event keeps the entry on the list, as the member query counts it: an
// unknown or missing code does not.
QString currentStatus(const QString &code)
{
    return QStringLiteral("(CASE WHEN %1 IN %2 THEN 1 ELSE 0 END)").arg(code, onListCodes());
}

// 1 unless a logged event is one that takes an entry off the list: an event kind deleted since
// cannot tell, and is taken as not having taken anyone off.
QString loggedStatus(const QString &code)
{
    return QStringLiteral("(CASE WHEN %1 IN %2 THEN 0 ELSE 1 END)").arg(code, offListCodes());
}

// The later of two values of one kind, the known one when the other is null.
QString later(const QString &a, const QString &b)
{
    return QStringLiteral("(CASE WHEN %2 > %1 OR %1 IS NULL THEN %2 ELSE %1 END)").arg(a, b);
}

// A stored day or moment as YYYYMMDD: its text is ISO on both engines (the server's sessions
// use the ISO date style).
QString dayNumber(const QString &stored)
{
    return QStringLiteral("CAST(replace(substr(CAST(%1 AS TEXT), 1, 10), '-', '') AS INTEGER)")
        .arg(stored);
}

QString monthNumber(const QString &stored)
{
    return QStringLiteral("CAST(replace(substr(CAST(%1 AS TEXT), 1, 7), '-', '') AS INTEGER)")
        .arg(stored);
}

// The M/D/YYYY text of a logged event day as YYYYMMDD, null for any other text. Every piece
// is checked before it is cast, since the server refuses to cast what is not a number (and
// only CASE fixes the order in which it evaluates).
QString loggedDayNumber(const QString &text)
{
    QString digitsRemoved = text;
    for (int digit = 0; digit <= 9; ++digit)
        digitsRemoved
            = QStringLiteral("replace(%1, '%2', '')").arg(digitsRemoved, QString::number(digit));
    const QString monthDigits
        = QStringLiteral("(CASE WHEN substr(%1, 2, 1) = '/' THEN 1 ELSE 2 END)").arg(text);
    const QString length = QStringLiteral("length(%1)").arg(text);
    const QString dayDigits = QStringLiteral("%1 - %2 - 6").arg(length, monthDigits);
    const QString wellFormed
        = QStringLiteral("%1 BETWEEN 8 AND 10 AND %2 = '//' AND substr(%3, %4 + 1, 1) = '/' AND "
                         "substr(%3, %1 - 4, 1) = '/' AND %5 BETWEEN 1 AND 2")
              .arg(length, digitsRemoved, text, monthDigits, dayDigits);
    const QString month
        = QStringLiteral("CAST(substr(%1, 1, %2) AS INTEGER)").arg(text, monthDigits);
    const QString day = QStringLiteral("CAST(substr(%1, %2 + 2, %3) AS INTEGER)")
                            .arg(text, monthDigits, dayDigits);
    const QString year = QStringLiteral("CAST(substr(%1, %2 - 3, 4) AS INTEGER)").arg(text, length);
    return QStringLiteral("(CASE WHEN %1 THEN (CASE WHEN %2 BETWEEN 1 AND 12 AND %3 BETWEEN 1 AND "
                          "31 THEN %4 * 10000 + %2 * 100 + %3 END) END)")
        .arg(wellFormed, month, day, year);
}

} // namespace

QString listScope(qint64 beavtipKod)
{
    return QStringLiteral("LISTA.BEAVTIP_KOD = %1").arg(beavtipKod);
}

QString kindScope(const QString &kind)
{
    return QStringLiteral("LISTA.BEAVTIP_KOD IN (SELECT BEAV_TIP.BEAVTIP_KOD FROM BEAV_TIP WHERE "
                          "BEAV_TIP.BEAVTIP_FAJTA = %1)")
        .arg(quoted(kind));
}

QString lists()
{
    return QStringLiteral(
        "SELECT BEAV_TIP.BEAVTIP_KOD, BEAV_TIP.BEAVTIP_NEV, BEAV_TIP.BEAVTIP_FAJTA "
        "FROM BEAV_TIP ORDER BY BEAV_TIP.BEAVTIP_KOD");
}

QString events()
{
    return QStringLiteral("SELECT ESEMENY.ES_KOD, ESEMENY.ES_NEV, ESEMENY.LISTAN FROM ESEMENY "
                          "ORDER BY ESEMENY.ES_KOD");
}

QString entriesByDay(const QString &scope)
{
    const QString on = currentStatus(QStringLiteral("LISTA.ESEM_KOD"));
    const auto onWith = [&on](const char *urgency) {
        return QStringLiteral("SUM(CASE WHEN LISTA.SURGOSSEG = '%1' THEN %2 ELSE 0 END)")
            .arg(QLatin1String(urgency), on);
    };
    // Grouped in the order of the list index, so that the engine needs no sorting.
    return QStringLiteral("SELECT LISTA.LISTARA_DATUM, count(*), SUM(%1), %2, %3 FROM LISTA "
                          "WHERE %4 GROUP BY LISTA.BEAVTIP_KOD, LISTA.LISTARA_DATUM")
        .arg(on, onWith("A"), onWith("H"), scope);
}

QString leftByMonth(const QString &scope)
{
    const QString off = monthNumber(
        later(QStringLiteral("LISTA.LISTARA_DATUM"), QStringLiteral("LISTA.ESEM_DATUM")));
    return QStringLiteral("SELECT %1 AS off_month, LISTA.ESEM_KOD, count(*) FROM LISTA "
                          "WHERE %2 AND %3 = 0 GROUP BY %1, LISTA.ESEM_KOD")
        .arg(off, scope, currentStatus(QStringLiteral("LISTA.ESEM_KOD")));
}

namespace {

// The logged changes of event are the LOG rows of the event column; those of the day column
// hold the event days, old and new, as M/D/YYYY text. SORSZAM orders them as they were
// written; a change of event saved together with its day comes right before the day's row.

// The status of the event that stood before the entry's logged change row, 1 (on the list
// since the listing day) before the first.
QString statusBefore(const QString &row)
{
    return QStringLiteral("COALESCE((SELECT %1 FROM LOG p WHERE p.HIV_SZAM = %2.HIV_SZAM AND "
                          "p.MEZO = 'ESEM_KOD' AND p.SORSZAM < %2.SORSZAM ORDER BY p.SORSZAM DESC "
                          "LIMIT 1), 1)")
        .arg(loggedStatus(QStringLiteral("p.REGI_ERTEK")), row);
}

QString lastLoggedStatus()
{
    return QStringLiteral("COALESCE((SELECT %1 FROM LOG p WHERE p.HIV_SZAM = LISTA.HIV_SZAM AND "
                          "p.MEZO = 'ESEM_KOD' ORDER BY p.SORSZAM DESC LIMIT 1), 1)")
        .arg(loggedStatus(QStringLiteral("p.REGI_ERTEK")));
}

// Whether the old event of a logged change moves the entry on or off the list.
QString turns(const QString &row)
{
    return QStringLiteral("%1 <> %2")
        .arg(loggedStatus(row + QStringLiteral(".REGI_ERTEK")), statusBefore(row));
}

// The day that stood for the old event of a logged change: the old day of the first change of
// day written after it (with it, or later); without one, the event day of today.
QString dayOfOldEvent(const QString &row)
{
    return QStringLiteral("COALESCE((SELECT %1 FROM LOG d WHERE d.HIV_SZAM = %2.HIV_SZAM AND "
                          "d.MEZO = 'ESEM_DATUM' AND d.SORSZAM > %2.SORSZAM ORDER BY d.SORSZAM "
                          "LIMIT 1), %3)")
        .arg(loggedDayNumber(QStringLiteral("d.REGI_ERTEK")), row,
             dayNumber(QStringLiteral("LISTA.ESEM_DATUM")));
}

// The entries whose log holds an event that took them off before a later change.
QString entriesThatLeftBefore()
{
    return QStringLiteral("(SELECT DISTINCT i.HIV_SZAM FROM LOG i WHERE i.MEZO = 'ESEM_KOD' AND "
                          "i.REGI_ERTEK IN %1) s")
        .arg(offListCodes());
}

} // namespace

QString historyCorrections(const QString &scope)
{
    const QString listed = dayNumber(QStringLiteral("LISTA.LISTARA_DATUM"));
    const QString eventDay = dayNumber(QStringLiteral("LISTA.ESEM_DATUM"));
    const QString current = currentStatus(QStringLiteral("LISTA.ESEM_KOD"));
    const QString latestTurn = QStringLiteral("MAX(%1)").arg(dayOfOldEvent(QStringLiteral("j")));
    // Each turn of a logged old event, on the latest day of the turns up to it. The join
    // order is spelled out: the few entries first, then their log rows. The latest day is
    // taken once, a level down, so that the engine looks it up once.
    const QString loggedTurns
        = QStringLiteral(
              "SELECT %1 / 100 AS month, t.code, 1 - t.status AS left_count, t.status AS returned "
              "FROM (SELECT %2 AS listed, k.REGI_ERTEK AS code, %3 AS status, %4 AS latest "
              "FROM %5 CROSS JOIN LISTA CROSS JOIN LOG k CROSS JOIN LOG j "
              "WHERE LISTA.HIV_SZAM = s.HIV_SZAM AND %6 AND k.HIV_SZAM = LISTA.HIV_SZAM AND "
              "k.MEZO = 'ESEM_KOD' AND %7 AND j.HIV_SZAM = k.HIV_SZAM AND j.MEZO = 'ESEM_KOD' AND "
              "j.SORSZAM <= k.SORSZAM AND %8 "
              "GROUP BY LISTA.HIV_SZAM, k.SORSZAM, k.REGI_ERTEK, LISTA.LISTARA_DATUM) t")
              .arg(later(QStringLiteral("t.listed"), QStringLiteral("t.latest")), listed,
                   loggedStatus(QStringLiteral("k.REGI_ERTEK")), latestTurn,
                   entriesThatLeftBefore(), scope, turns(QStringLiteral("k")),
                   turns(QStringLiteral("j")));
    // The current event, where it turns the entry against its last logged old event.
    const QString currentTurns
        = QStringLiteral(
              "SELECT %1 / 100 AS month, t.code, 1 - t.status AS left_count, t.status AS returned "
              "FROM (SELECT %2 AS listed, %3 AS event_day, LISTA.ESEM_KOD AS code, %4 AS status, "
              "%5 AS latest FROM %6 CROSS JOIN LISTA LEFT JOIN LOG j ON j.HIV_SZAM = "
              "LISTA.HIV_SZAM AND j.MEZO = 'ESEM_KOD' AND %7 "
              "WHERE LISTA.HIV_SZAM = s.HIV_SZAM AND %8 AND %4 <> %9 "
              "GROUP BY LISTA.HIV_SZAM, LISTA.LISTARA_DATUM, LISTA.ESEM_DATUM, LISTA.ESEM_KOD) t")
              .arg(later(QStringLiteral("t.listed"),
                         later(QStringLiteral("t.event_day"), QStringLiteral("t.latest"))),
                   listed, eventDay, current, latestTurn, entriesThatLeftBefore(),
                   turns(QStringLiteral("j")), scope, lastLoggedStatus());
    // What the simple count took: leaving on the later of the listing and the event day.
    const QString simpleLeaving
        = QStringLiteral("SELECT %1 AS month, LISTA.ESEM_KOD AS code, -1 AS left_count, 0 AS "
                         "returned FROM %2 CROSS JOIN LISTA "
                         "WHERE LISTA.HIV_SZAM = s.HIV_SZAM AND %3 AND %4 = 0")
              .arg(monthNumber(later(QStringLiteral("LISTA.LISTARA_DATUM"),
                                     QStringLiteral("LISTA.ESEM_DATUM"))),
                   entriesThatLeftBefore(), scope, current);
    return QStringLiteral("SELECT x.month, x.code, SUM(x.left_count), SUM(x.returned) FROM (%1 "
                          "UNION ALL %2 UNION ALL %3) x GROUP BY x.month, x.code")
        .arg(loggedTurns, currentTurns, simpleLeaving);
}

} // namespace db::statistics
