// Every command of the administration tool, declared once: what reads the command line, what
// --help prints and what the tests walk all come from this table.
#include "admincommand.h"

namespace admin {

namespace {

using D = AdminCommand::Declaration;

constexpr QStringView preamble
    = u"Használat: vazuvede-admin [--mappa MAPPA] PARANCS [PARAMÉTEREK]\n"
      u"\n"
      u"A várólista-program felügyeleti eszköze az osztály informatikusainak. A MAPPA a program\n"
      u"mappája, benne a Vazuvede.adat adatbázissal és a Jelentesek mappával; ha nincs megadva,\n"
      u"az eszköz saját mappája. Minden módosítás egyetlen tranzakcióban történik: vagy "
      u"egészében\n"
      u"megvalósul, vagy semmi sem változik. A programot közben senkinek sem kell bezárnia.\n";

constexpr QStringView exitCodes
    = u"Kilépési kód: 0 siker; 1 hiba vagy elutasított kérés (ilyenkor semmi sem változott);\n"
      u"2 hibás parancssor; 3 a jelentéshez nincs egyik listán sem listatag.\n";

// The help lines stand in a column of their own; a longer usage puts them on the next line.
constexpr int helpColumn = 29;

QString usageLine(const D &command)
{
    const QString usage = QStringLiteral("  ") + QString::fromUtf16(command.usage);
    const QString indent(helpColumn, u' ');
    const QStringList lines = QString::fromUtf16(command.help).split(u'\n');
    QString text = usage.size() <= helpColumn - 2 ? usage.leftJustified(helpColumn, u' ')
                                                  : usage + u'\n' + indent;
    text += lines.join(u'\n' + indent);
    return text + u'\n';
}

} // namespace

QString AdminCommand::Declaration::name() const
{
    return QString::fromUtf16(usage).section(u' ', 0, 0);
}

const AdminCommand::Declaration AdminCommand::commandTable[] = {
    {u"Listák:", u"listak", u"a listák kódja, fajtája, neve és létszáma", 0, 0, nullptr,
     &AdminCommand::showLists},
    {nullptr, u"lista-uj KÓD NÉV FAJTA",
     u"új lista; FAJTA: V (várólista), B (betegfogadási lista)\n"
     u"vagy J (a járóbeteg-osztály egyetlen listája, csak a 0-s kód)",
     3, 3, nullptr, &AdminCommand::addList},
    {nullptr, u"lista-atnevez KÓD NÉV", u"a lista új neve", 2, 2, nullptr,
     &AdminCommand::renameList},
    {nullptr, u"lista-fajta KÓD FAJTA", u"a lista fajtájának módosítása", 2, 2, nullptr,
     &AdminCommand::changeListKind},
    {nullptr, u"lista-torol KÓD", u"lista törlése; amelyikhez bejegyzés tartozik, nem törölhető", 1,
     1, nullptr, &AdminCommand::removeList},

    {u"Események:", u"esemenyek", u"az események, és hány bejegyzés legutóbbi eseménye", 0, 0,
     nullptr, &AdminCommand::showEvents},
    {nullptr, u"esemeny-uj KÓD NÉV LISTÁN",
     u"új esemény; LISTÁN: igen, ha a bejegyzés a listán marad,\n"
     u"nem, ha lekerül róla",
     3, 3, nullptr, &AdminCommand::addEvent},
    {nullptr, u"esemeny-atnevez KÓD NÉV", u"az esemény új neve (a nevek nem ismétlődhetnek)", 2, 2,
     nullptr, &AdminCommand::renameEvent},
    {nullptr, u"esemeny-torol KÓD", u"használaton kívüli esemény törlése; a „Várakozás” marad", 1,
     1, nullptr, &AdminCommand::removeEvent},

    {u"Az osztály:", u"osztaly", u"az osztály adatai", 0, 0, nullptr,
     &AdminCommand::showDepartment},
    {nullptr, u"osztaly-modosit [--intezet KÓD] [--finkod KÓD] [--nev NÉV] [--tipus jaro|fekvo]",
     u"az osztály adatainak javítása (amit nem ad meg, marad)", 2, 8, nullptr,
     &AdminCommand::changeDepartment},
    {nullptr, u"jelszo",
     u"új belépési jelszó: kétszer kell beírni, a képernyőn nem\n"
     u"látszik (nem terminálról soronként olvassa)",
     0, 0, nullptr, &AdminCommand::newPassword},

    {u"Mentés és ellenőrzés:", u"mentes [CÉLMAPPA]",
     u"mentés a program futása közben, dátummal a nevében,\n"
     u"ellenőrizve: az adatbázisfájlé titkosított másolat\n"
     u"(Vazuvede-ÉÉÉÉHHNN-ÓÓPPMM.adat), a kiszolgálóé a pg_dump\n"
     u"archívuma (Vazuvede-ÉÉÉÉHHNN-ÓÓPPMM.dump);\n"
     u"alapértelmezett célmappa: MAPPA/Mentesek",
     0, 1, &AdminCommand::backup, nullptr},
    {nullptr, u"visszaallitas MENTÉS [KAPCSOLAT]",
     u"a mentés visszaállítása; a fájlba csak ha senki sem\n"
     u"használja, a régi fájl megmarad mellette\n"
     u"(Vazuvede.adat.regi-ÉÉÉÉHHNN-ÓÓPPMM); a kiszolgálón csak\n"
     u"üres adatbázisba, a tulajdonosaként (KAPCSOLAT)",
     1, 2, &AdminCommand::restore, nullptr},
    {nullptr, u"ellenorzes [FÁJL]",
     u"az adatbázis (vagy egy mentés) épségének és adatainak\n"
     u"ellenőrzése: mit nézett meg, és mit talált",
     0, 1, &AdminCommand::check, nullptr},
    {nullptr, u"frissites [KAPCSOLAT]",
     u"a régebbi változatú adatbázis frissítése a program\n"
     u"változatára, sorvesztés nélkül (a kiszolgálón a séma\n"
     u"tulajdonosaként: KAPCSOLAT)",
     0, 1, &AdminCommand::upgrade, nullptr},

    {u"Jelentés:", u"jelentes",
     u"a napi jelentés ablak nélkül: ugyanaz, amit a „Jelentés\n"
     u"elkészítése” gomb ír a Jelentesek mappába",
     0, 0, nullptr, &AdminCommand::report},
    {nullptr, u"statisztika [--lista KÓD] [--csv]",
     u"a Statisztika ablak számai: a listán lévők várakozása,\n"
     u"megoszlása, a létszám a hónapok végén, a havi mozgás;\n"
     u"egy listáé vagy fajtánként az összesé; --csv: ugyanaz,\n"
     u"mint az ablak CSV-mentése",
     0, 3, &AdminCommand::statistics, nullptr},

    {u"Több munkaállomás:", u"kiszolgalora [--szerep SZEREP] [KAPCSOLAT]",
     u"az adatbázisfájl átvitele egy üres PostgreSQL-adatbázisba\n"
     u"(KAPCSOLAT: libpq kapcsolati szöveg vagy szolgáltatásnév;\n"
     u"ha nincs megadva, a kapcsolatfájlé: /etc/opt/varolista/\n"
     u"Vazuvede.kiszolgalo, ha az nincs, a MAPPA-belié); a SZEREP\n"
     u"olvashatja és írhatja az adatokat, a sémát nem",
     0, 3, &AdminCommand::moveUp, nullptr},
};

std::span<const AdminCommand::Declaration> AdminCommand::commands()
{
    return commandTable;
}

QString AdminCommand::helpText()
{
    QString text = preamble.toString();
    for (const D &command : commands()) {
        if (command.heading)
            text += u'\n' + QString::fromUtf16(command.heading) + u'\n';
        text += usageLine(command);
    }
    return text + u'\n' + exitCodes.toString();
}

} // namespace admin
