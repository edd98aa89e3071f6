#pragma once

#include <QString>

// The statements behind the statistics window and the administration tool's statistics. Each
// is an aggregate the engine computes, written once for the file and the server alike: stored
// days are compared as stored (ISO text on the file, dates on the server), and wherever days
// are computed with they are first turned into whole numbers YYYYMMDD, and months into YYYYMM.
namespace db::statistics {

// The condition that keeps the entries of one list, or of every list of a kind (V, B, J).
QString listScope(qint64 beavtipKod);
QString kindScope(const QString &kind);

// The lists that may be looked at: BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA.
QString lists();
// The event kinds, to name them: ES_KOD, ES_NEV, LISTAN.
QString events();

// The entries of each listing day (per list): all of them, those on the list now, and of
// these the acute and the deferrable ones: LISTARA_DATUM, entries, members, acute, deferrable.
QString entriesByDay(const QString &scope);

// Entries off the list now, counted per month they left (of the later of the listing day and
// the event day; null where both are) and the event that took them off: off (YYYYMM),
// ESEM_KOD, count.
QString leftByMonth(const QString &scope);

// What the two counts above take too simply for the entries whose logged history holds an
// event that took them off the list before their latest: per month (YYYYMM) and event code,
// how many more left and how many came back: month, code, left, returned. The history is
// the old event of every logged change of event, on the day that stood for it when the
// change was logged, then the current event on its day. Leaving and returning days never go
// back in time: each counts on the latest day of the entry's earlier leavings and returnings
// when that is later, and never before the listing day.
QString historyCorrections(const QString &scope);

} // namespace db::statistics
