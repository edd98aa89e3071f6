#pragma once

#include "fielddef.h"

#include <QList>

// The persistent fields of the program's datasets: the columns each one reads, with the
// widths of their table columns.
namespace db::fields {

// atOsztaly: INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO.
QList<FieldDef> osztaly();
// atListaDb and the TAJ search result: BEAVTIP_KOD, BEAVTIP_NEV, Listatagok.
QList<FieldDef> listSummary();
// atJelentes: the eight report columns in report order.
QList<FieldDef> report();
// aqListaAdatok: HIV_SZAM, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ES_NEV, ESEM_DATUM, ESEM_KOD.
QList<FieldDef> members();
// atEsemeny: ES_KOD, ES_NEV, LISTAN.
QList<FieldDef> esemeny();

} // namespace db::fields
