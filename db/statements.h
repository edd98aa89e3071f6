#pragma once

#include <QDate>
#include <QString>

// The statement texts of the program, built from fixed pieces and values. The Jet-era
// dialect is kept as the department's other tools know it (integers between quotes, NOW(),
// parenthesised joins, the double-quoted "I" of the member query).
namespace db::statements {

// The department row of the registration dialog; type is "J" or "F".
QString insertOsztaly(const QString &intkod, const QString &finkod, const QString &type,
                      const QString &name, const QString &password);

// The list manager's member query, with its one parameter :Aktbeavtip.
QString memberQuery();

struct NewEntry
{
    qint64 beavtipKod = 0;
    QString taj; // nine digits
    QString nev;
    QDate listaraDatum;
    QString surgosseg; // "A" or "H"
    QString esemKod;
    QDate esemDatum;
    QDate insDate;
};
QString insertLista(const NewEntry &entry);

// The new event of an entry; only its event code and event date are written.
QString updateListaEvent(const QString &esemKod, const QDate &esemDatum, qint64 hivSzam);

// A LOG row for a changed event code, or for a changed event date (both as SQL date text).
QString insertLogEventCode(const QString &hivSzam, const QString &oldCode, const QString &newCode);
QString insertLogEventDate(const QString &hivSzam, const QDate &oldDate, const QDate &newDate);

// The TAJ search: the patient's entries on their lists, counted per list.
QString tajSearch(const QString &taj);

// BEAVTIP_NEV of a list, its one parameter :Kod.
QString listName();
// ESEM_KOD and ESEM_DATUM of an entry as stored, its one parameter :HivSzam.
QString entryEvent();
// TAJ of an entry, its one parameter :HivSzam.
QString entryTaj();

// An entry as stored, whatever its event, with the columns of the member query and the
// event's name (null for a code without its event row); its one parameter :HivSzam.
QString storedEntry();
// The change log of an entry, its one parameter :HivSzam, newest first (the order written
// tells apart the changes of one moment): DATUM, MEZO, REGI_ERTEK, UJ_ERTEK, and the event
// names of both values as REGI_NEV and UJ_NEV (null for a code no longer in ESEMENY).
QString memberHistory();

// Rows whose values are bound ('?' in the order of the columns named), for the tools and for
// writing many rows at once; days and moments go in as stored text.
// OSZTALY: INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO.
QString insertDepartmentRow();
// LISTA: BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, ESEM_DATUM, INS_DATE.
QString insertEntryRow();
// LOG: DATUM, HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK.
QString insertLogRow();
// ESEMENY: ES_KOD, ES_NEV, LISTAN.
QString insertEventRow();
// BEAV_TIP: BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA.
QString insertListRow();

} // namespace db::statements
