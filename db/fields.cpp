#include "fields.h"

namespace db::fields {

namespace {
FieldDef text(const char *name, int width)
{
    return {QString::fromLatin1(name), FieldKind::Text, width};
}
FieldDef integer(const char *name)
{
    return {QString::fromLatin1(name), FieldKind::Integer, 0};
}
FieldDef dateTime(const char *name)
{
    return {QString::fromLatin1(name), FieldKind::DateTime, 0};
}
} // namespace

QList<FieldDef> osztaly()
{
    return {text("INTKOD", 4), text("FINKOD", 9), text("JAROFEKVO", 1), text("OSZTALYNEV", 50),
            text("JELSZO", 8)};
}

QList<FieldDef> listSummary()
{
    return {integer("BEAVTIP_KOD"), text("BEAVTIP_NEV", 50), integer("Listatagok")};
}

QList<FieldDef> report()
{
    return {text("INTKOD", 4),         text("FINKOD", 9),     integer("BEAVTIP_KOD"),
            dateTime("LISTARA_DATUM"), integer("HIV_SZAM"),   text("SURGOSSEG", 1),
            text("ESEM_KOD", 3),       dateTime("ESEM_DATUM")};
}

QList<FieldDef> members()
{
    return {integer("HIV_SZAM"),       text("TAJ", 9),       text("NEV", 50),
            dateTime("LISTARA_DATUM"), text("SURGOSSEG", 1), text("ES_NEV", 150),
            dateTime("ESEM_DATUM"),    text("ESEM_KOD", 3)};
}

QList<FieldDef> esemeny()
{
    return {text("ES_KOD", 3), text("ES_NEV", 150), text("LISTAN", 1)};
}

} // namespace db::fields
