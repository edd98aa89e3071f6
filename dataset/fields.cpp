#include "fields.h"

#include "db/schema.h"

namespace db::fields {

namespace {

// The field of a described column: its kind and width come from the description.
FieldDef field(const char *table, const char *column)
{
    const schema::Column &c = schema::column(table, column);
    switch (c.type) {
    case schema::Type::Serial:
    case schema::Type::Integer:
        return {QString::fromLatin1(column), FieldKind::Integer, 0};
    case schema::Type::Text:
        return {QString::fromLatin1(column), FieldKind::Text, c.width};
    case schema::Type::Day:
    case schema::Type::Moment:
        break;
    }
    return {QString::fromLatin1(column), FieldKind::DateTime, 0};
}

QList<FieldDef> wholeTable(const char *table)
{
    QList<FieldDef> fields;
    for (const schema::Column &c : schema::table(table).columns)
        fields << field(table, c.name);
    return fields;
}

// A count the summaries and the TAJ search give each list.
FieldDef memberCount()
{
    return {QStringLiteral("Listatagok"), FieldKind::Integer, 0};
}

} // namespace

QList<FieldDef> osztaly()
{
    return wholeTable("OSZTALY");
}

QList<FieldDef> listSummary()
{
    return {field("BEAV_TIP", "BEAVTIP_KOD"), field("BEAV_TIP", "BEAVTIP_NEV"), memberCount()};
}

QList<FieldDef> report()
{
    return {field("OSZTALY", "INTKOD"),    field("OSZTALY", "FINKOD"),
            field("LISTA", "BEAVTIP_KOD"), field("LISTA", "LISTARA_DATUM"),
            field("LISTA", "HIV_SZAM"),    field("LISTA", "SURGOSSEG"),
            field("LISTA", "ESEM_KOD"),    field("LISTA", "ESEM_DATUM")};
}

QList<FieldDef> members()
{
    return {field("LISTA", "HIV_SZAM"),   field("LISTA", "TAJ"),
            field("LISTA", "NEV"),        field("LISTA", "LISTARA_DATUM"),
            field("LISTA", "SURGOSSEG"),  field("ESEMENY", "ES_NEV"),
            field("LISTA", "ESEM_DATUM"), field("LISTA", "ESEM_KOD")};
}

QList<FieldDef> esemeny()
{
    return wholeTable("ESEMENY");
}

} // namespace db::fields
