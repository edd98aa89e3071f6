#pragma once

#include <QString>

// The statement texts of the administration tool, the generator and the registration. Each runs as
// it stands on both engines: values are bound ('?' in order), a flag is counted with CASE, and the
// department's row is the first one a plain read gives.
namespace db::statements {

// ES_KOD, ES_NEV, 1 when LISTAN is "I" (else 0), and how many entries have it as their latest
// event; every event by code, or one event (ES_KOD = ?).
QString eventsWithUse();
QString eventWithUse();
// ES_KOD of the events of a name (ES_NEV = ?).
QString eventsNamed();
// ES_NEV of an event (ES_KOD = ?).
QString eventName();
// ES_NEV = ? of ES_KOD = ?.
QString renameEvent();
// The event ES_KOD = ?.
QString deleteEvent();
// ES_KOD of every event.
QString eventCodes();

// BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA, the entries on the list and all its entries, by code.
QString listsWithCounts();
// BEAVTIP_KOD of the other lists of a name (BEAVTIP_NEV = ?, BEAVTIP_KOD <> ?).
QString listsNamed();
// BEAVTIP_NEV = ? of BEAVTIP_KOD = ?.
QString renameList();
// BEAVTIP_FAJTA = ? of BEAVTIP_KOD = ?.
QString changeListKind();
// The list BEAVTIP_KOD = ?.
QString deleteList();
// All entries of a list (BEAVTIP_KOD = ?) and those of them on it.
QString listEntryCounts();
// BEAVTIP_KOD and BEAVTIP_FAJTA of every list.
QString listKinds();

// INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO of the department's row.
QString department();
// The department's row as read (its five values bound after the new ones, in the order
// above) gets INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV = ?, ?, ?, ?.
QString updateDepartment();
// The same row gets JELSZO = ?.
QString updatePassword();
// How many department rows there are.
QString departmentRows();

} // namespace db::statements
