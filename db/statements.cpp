#include "statements.h"

#include "sqltext.h"

#include <QStringList>

namespace db::statements {

QString insertOsztaly(const QString &intkod, const QString &finkod, const QString &type,
                      const QString &name, const QString &password)
{
    return QStringLiteral(
               "Insert into OSZTALY (INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO) values(")
           + quoted(intkod) + u',' + quoted(finkod) + QStringLiteral(", ") + quoted(type)
           + QStringLiteral(", ") + quoted(name) + QStringLiteral(", ") + quoted(password) + u')';
}

QString memberQuery()
{
    return QStringLiteral(
        "SELECT LISTA.HIV_SZAM, LISTA.TAJ, LISTA.NEV, LISTA.LISTARA_DATUM, LISTA.SURGOSSEG, "
        "ESEMENY.ES_NEV, LISTA.ESEM_DATUM, ESEM_KOD\n"
        "FROM LISTA INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"
        "WHERE (((ESEMENY.LISTAN)=\"I\") AND ((LISTA.BEAVTIP_KOD)=:Aktbeavtip))\n"
        "ORDER BY LISTA.LISTARA_DATUM, LISTA.HIV_SZAM");
}

QString insertLista(const NewEntry &e)
{
    const QString sep = QStringLiteral(", ");
    return QStringLiteral("INSERT INTO LISTA ( BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, "
                          "ESEM_KOD, ESEM_DATUM, INS_DATE )  VALUES (")
           + quoted(QString::number(e.beavtipKod)) + u',' + quoted(e.taj) + sep + quoted(e.nev)
           + sep + quoted(sqlDateText(e.listaraDatum)) + sep + quoted(e.surgosseg) + sep
           + quoted(e.esemKod) + sep + quoted(sqlDateText(e.esemDatum)) + sep
           + quoted(sqlDateText(e.insDate)) + u')';
}

QString updateListaEvent(const QString &esemKod, const QDate &esemDatum, qint64 hivSzam)
{
    return QStringLiteral("UPDATE LISTA SET ESEM_KOD = ") + quoted(esemKod)
           + QStringLiteral(", ESEM_DATUM = ") + quoted(sqlDateText(esemDatum))
           + QStringLiteral(" WHERE LISTA.HIV_SZAM= ") + QString::number(hivSzam);
}

namespace {
QString insertLog(const QString &hivSzam, const QString &column, const QString &oldValue,
                  const QString &newValue)
{
    const QString sep = QStringLiteral(", ");
    return QStringLiteral("INSERT INTO LOG ( DATUM, HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK)  "
                          "VALUES (NOW(),")
           + quoted(hivSzam) + sep + quoted(column) + sep + quoted(oldValue) + sep
           + quoted(newValue) + u')';
}
} // namespace

QString insertLogEventCode(const QString &hivSzam, const QString &oldCode, const QString &newCode)
{
    return insertLog(hivSzam, QStringLiteral("ESEM_KOD"), oldCode, newCode);
}

QString insertLogEventDate(const QString &hivSzam, const QDate &oldDate, const QDate &newDate)
{
    return insertLog(hivSzam, QStringLiteral("ESEM_DATUM"), sqlDateText(oldDate),
                     sqlDateText(newDate));
}

QString tajSearch(const QString &taj)
{
    return QStringLiteral(
               "SELECT BEAV_TIP.BEAVTIP_KOD, BEAV_TIP.BEAVTIP_NEV, Count(HIV_SZAM) AS Listatagok "
               "FROM (BEAV_TIP INNER JOIN LISTA ON BEAV_TIP.BEAVTIP_KOD = LISTA.BEAVTIP_KOD) "
               "INNER JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD WHERE (LISTA.TAJ=")
           + quoted(taj)
           + QStringLiteral(") AND (ESEMENY.LISTAN='I') GROUP BY BEAV_TIP.BEAVTIP_KOD, "
                            "BEAV_TIP.BEAVTIP_NEV");
}

QString listName()
{
    return QStringLiteral("SELECT BEAVTIP_NEV FROM BEAV_TIP WHERE BEAVTIP_KOD = :Kod");
}

QString entryEvent()
{
    return QStringLiteral("SELECT ESEM_KOD, ESEM_DATUM FROM LISTA WHERE HIV_SZAM = :HivSzam");
}

QString entryTaj()
{
    return QStringLiteral("SELECT TAJ FROM LISTA WHERE HIV_SZAM = :HivSzam");
}

QString storedEntry()
{
    return QStringLiteral(
        "SELECT LISTA.HIV_SZAM, LISTA.TAJ, LISTA.NEV, LISTA.LISTARA_DATUM, LISTA.SURGOSSEG, "
        "ESEMENY.ES_NEV, LISTA.ESEM_DATUM, LISTA.ESEM_KOD\n"
        "FROM LISTA LEFT JOIN ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD\n"
        "WHERE LISTA.HIV_SZAM = :HivSzam");
}

QString memberHistory()
{
    return QStringLiteral(
        "SELECT LOG.DATUM, LOG.MEZO, LOG.REGI_ERTEK, LOG.UJ_ERTEK, REGI.ES_NEV AS REGI_NEV, "
        "UJ.ES_NEV AS UJ_NEV\n"
        "FROM LOG\n"
        "LEFT JOIN ESEMENY AS REGI ON LOG.MEZO = 'ESEM_KOD' AND REGI.ES_KOD = LOG.REGI_ERTEK\n"
        "LEFT JOIN ESEMENY AS UJ ON LOG.MEZO = 'ESEM_KOD' AND UJ.ES_KOD = LOG.UJ_ERTEK\n"
        "WHERE LOG.HIV_SZAM = :HivSzam\n"
        "ORDER BY LOG.DATUM DESC, LOG.SORSZAM DESC");
}

namespace {
QString insertRow(const char *table, const char *columns, int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1StringView(table), QLatin1StringView(columns),
             marks.join(QStringLiteral(", ")));
}
} // namespace

QString insertDepartmentRow()
{
    return insertRow("OSZTALY", "INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO", 5);
}

QString insertEntryRow()
{
    return insertRow("LISTA",
                     "BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, ESEM_DATUM, "
                     "INS_DATE",
                     8);
}

QString insertLogRow()
{
    return insertRow("LOG", "DATUM, HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK", 5);
}

QString insertEventRow()
{
    return insertRow("ESEMENY", "ES_KOD, ES_NEV, LISTAN", 3);
}

QString insertListRow()
{
    return insertRow("BEAV_TIP", "BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA", 3);
}

} // namespace db::statements
