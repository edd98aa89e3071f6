#include "admincommand.h"

#include "departmentadmin.h"
#include "eventadmin.h"
#include "listadmin.h"
#include "passwordsource.h"
#include "statisticsadmin.h"
#include "upkeepadmin.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/server/connectionfile.h"
#include "report/dailyreport.h"

#include <QDir>
#include <QTextStream>

namespace admin {

namespace {

// How many arguments each command takes (at least, at most).
struct Arity
{
    const char16_t *name;
    int least;
    int most;
};

constexpr Arity arities[] = {
    {u"listak", 0, 0},      {u"lista-uj", 3, 3},        {u"lista-atnevez", 2, 2},
    {u"lista-fajta", 2, 2}, {u"lista-torol", 1, 1},     {u"esemenyek", 0, 0},
    {u"esemeny-uj", 3, 3},  {u"esemeny-atnevez", 2, 2}, {u"esemeny-torol", 1, 1},
    {u"osztaly", 0, 0},     {u"osztaly-modosit", 2, 8}, {u"jelszo", 0, 0},
    {u"mentes", 0, 1},      {u"visszaallitas", 1, 2},   {u"ellenorzes", 0, 1},
    {u"jelentes", 0, 0},    {u"kiszolgalora", 0, 3},    {u"frissites", 0, 1},
    {u"statisztika", 0, 3},
};

const Arity *arityOf(const QString &command)
{
    for (const Arity &arity : arities) {
        if (command == QStringView(arity.name))
            return &arity;
    }
    return nullptr;
}

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, u' ');
}

QString rightAligned(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, u' ');
}

} // namespace

AdminCommand::AdminCommand(QTextStream &out, QTextStream &err, PasswordSource &passwords,
                           const QString &toolDir)
    : m_out(out)
    , m_err(err)
    , m_passwords(passwords)
    , m_programDir(toolDir)
{
}

QString AdminCommand::helpText()
{
    return QStringLiteral(
        "Használat: vazuvede-admin [--mappa MAPPA] PARANCS [PARAMÉTEREK]\n"
        "\n"
        "A várólista-program felügyeleti eszköze az osztály informatikusainak. A MAPPA a program\n"
        "mappája, benne a Vazuvede.adat adatbázissal és a Jelentesek mappával; ha nincs megadva,\n"
        "az eszköz saját mappája. Minden módosítás egyetlen tranzakcióban történik: vagy "
        "egészében\n"
        "megvalósul, vagy semmi sem változik. A programot közben senkinek sem kell bezárnia.\n"
        "\n"
        "Listák:\n"
        "  listak                     a listák kódja, fajtája, neve és létszáma\n"
        "  lista-uj KÓD NÉV FAJTA     új lista; FAJTA: V (várólista), B (betegfogadási lista)\n"
        "                             vagy J (a járóbeteg-osztály egyetlen listája, csak a 0-s "
        "kód)\n"
        "  lista-atnevez KÓD NÉV      a lista új neve\n"
        "  lista-fajta KÓD FAJTA      a lista fajtájának módosítása\n"
        "  lista-torol KÓD            lista törlése; amelyikhez bejegyzés tartozik, nem törölhető\n"
        "\n"
        "Események:\n"
        "  esemenyek                  az események, és hány bejegyzés legutóbbi eseménye\n"
        "  esemeny-uj KÓD NÉV LISTÁN  új esemény; LISTÁN: igen, ha a bejegyzés a listán marad,\n"
        "                             nem, ha lekerül róla\n"
        "  esemeny-atnevez KÓD NÉV    az esemény új neve (a nevek nem ismétlődhetnek)\n"
        "  esemeny-torol KÓD          használaton kívüli esemény törlése; a „Várakozás” marad\n"
        "\n"
        "Az osztály:\n"
        "  osztaly                    az osztály adatai\n"
        "  osztaly-modosit [--intezet KÓD] [--finkod KÓD] [--nev NÉV] [--tipus jaro|fekvo]\n"
        "                             az osztály adatainak javítása (amit nem ad meg, marad)\n"
        "  jelszo                     új belépési jelszó: kétszer kell beírni, a képernyőn nem\n"
        "                             látszik (nem terminálról soronként olvassa)\n"
        "\n"
        "Mentés és ellenőrzés:\n"
        "  mentes [CÉLMAPPA]          mentés a program futása közben, dátummal a nevében,\n"
        "                             ellenőrizve: az adatbázisfájlé titkosított másolat\n"
        "                             (Vazuvede-ÉÉÉÉHHNN-ÓÓPPMM.adat), a kiszolgálóé a pg_dump\n"
        "                             archívuma (Vazuvede-ÉÉÉÉHHNN-ÓÓPPMM.dump);\n"
        "                             alapértelmezett célmappa: MAPPA/Mentesek\n"
        "  visszaallitas MENTÉS [KAPCSOLAT]\n"
        "                             a mentés visszaállítása; a fájlba csak ha senki sem\n"
        "                             használja, a régi fájl megmarad mellette\n"
        "                             (Vazuvede.adat.regi-ÉÉÉÉHHNN-ÓÓPPMM); a kiszolgálón csak\n"
        "                             üres adatbázisba, a tulajdonosaként (KAPCSOLAT)\n"
        "  ellenorzes [FÁJL]          az adatbázis (vagy egy mentés) épségének és adatainak\n"
        "                             ellenőrzése: mit nézett meg, és mit talált\n"
        "  frissites [KAPCSOLAT]      a régebbi változatú adatbázis frissítése a program\n"
        "                             változatára, sorvesztés nélkül (a kiszolgálón a séma\n"
        "                             tulajdonosaként: KAPCSOLAT)\n"
        "\n"
        "Jelentés:\n"
        "  jelentes                   a napi jelentés ablak nélkül: ugyanaz, amit a „Jelentés\n"
        "                             elkészítése” gomb ír a Jelentesek mappába\n"
        "  statisztika [--lista KÓD] [--csv]\n"
        "                             a Statisztika ablak számai: a listán lévők várakozása,\n"
        "                             megoszlása, a létszám a hónapok végén, a havi mozgás;\n"
        "                             egy listáé vagy fajtánként az összesé; --csv: ugyanaz,\n"
        "                             mint az ablak CSV-mentése\n"
        "\n"
        "Több munkaállomás:\n"
        "  kiszolgalora [--szerep SZEREP] [KAPCSOLAT]\n"
        "                             az adatbázisfájl átvitele egy üres PostgreSQL-adatbázisba\n"
        "                             (KAPCSOLAT: libpq kapcsolati szöveg vagy szolgáltatásnév;\n"
        "                             ha nincs megadva, a kapcsolatfájlé: /etc/opt/varolista/\n"
        "                             Vazuvede.kiszolgalo, ha az nincs, a MAPPA-belié); a SZEREP\n"
        "                             olvashatja és írhatja az adatokat, a sémát nem\n"
        "\n"
        "Kilépési kód: 0 siker; 1 hiba vagy elutasított kérés (ilyenkor semmi sem változott);\n"
        "2 hibás parancssor; 3 a jelentéshez nincs egyik listán sem listatag.\n");
}

int AdminCommand::usageError(const QString &message)
{
    m_err << message << QStringLiteral("\nSegítség: vazuvede-admin --help\n");
    m_err.flush();
    return Usage;
}

int AdminCommand::run(const QStringList &arguments)
{
    QStringList args = arguments;
    if (args.isEmpty())
        return usageError(QStringLiteral("Nincs megadva parancs."));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))
        || args.first() == u"sugo") {
        m_out << helpText();
        m_out.flush();
        return Success;
    }
    if (args.first() == u"--mappa") {
        if (args.size() < 2)
            return usageError(QStringLiteral("A --mappa után a program mappája következik."));
        m_programDir = args.at(1);
        args.remove(0, 2);
    }
    if (args.isEmpty())
        return usageError(QStringLiteral("Nincs megadva parancs."));
    const QString command = args.takeFirst();
    const Arity *arity = arityOf(command);
    if (!arity)
        return usageError(QStringLiteral("Ismeretlen parancs: „%1”.").arg(command));
    if (args.size() < arity->least || args.size() > arity->most)
        return usageError(
            QStringLiteral("A(z) „%1” parancs paraméterei nem megfelelők.").arg(command));

    int status = Failure;
    try {
        status = dispatch(command, args);
    } catch (const db::Error &e) {
        m_err << e.message() << u'\n';
        status = Failure;
    } catch (const std::exception &e) {
        m_err << QString::fromLocal8Bit(e.what()) << u'\n';
        status = Failure;
    }
    m_out.flush();
    m_err.flush();
    return status;
}

int AdminCommand::dispatch(const QString &command, const QStringList &args)
{
    UpkeepAdmin upkeep(m_out, m_err, m_programDir);
    if (command == u"visszaallitas") {
        upkeep.restore(args.at(0), args.size() < 2 ? QString()
                                                   : db::connectionfile::checkedConnectionText(
                                                       args.at(1), QStringLiteral("a parancssor")));
        return Success;
    }
    if (command == u"ellenorzes")
        return upkeep.check(args.value(0)) ? Success : Failure;
    if (command == u"mentes") {
        upkeep.backup(args.isEmpty() ? QDir(m_programDir).filePath(QStringLiteral("Mentesek"))
                                     : args.at(0));
        return Success;
    }
    if (command == u"frissites") {
        upkeep.upgrade(args.isEmpty() ? QString()
                                      : db::connectionfile::checkedConnectionText(
                                          args.at(0), QStringLiteral("a parancssor")));
        return Success;
    }
    if (command == u"kiszolgalora")
        return moveUp(args);

    if (command == u"statisztika") {
        const QString error = StatisticsAdmin::parse(args).error;
        if (!error.isEmpty())
            return usageError(error);
    }
    db::Connection connection;
    connection.openDepartment(m_programDir);
    if (command == u"listak")
        return showLists(connection);
    if (command == u"esemenyek")
        return showEvents(connection);
    if (command == u"osztaly")
        return showDepartment(connection);
    if (command == u"osztaly-modosit")
        return changeDepartment(connection, args);
    if (command == u"jelszo")
        return newPassword(connection);
    if (command == u"jelentes")
        return report(connection);
    if (command == u"statisztika")
        return statistics(connection, args);

    ListAdmin lists(connection);
    EventAdmin events(connection);
    if (command == u"lista-uj") {
        lists.add(args.at(0), args.at(1), args.at(2));
        m_out << QStringLiteral("Az új lista felvéve: %1 – %2\n").arg(args.at(0), args.at(1));
    } else if (command == u"lista-atnevez") {
        lists.rename(args.at(0), args.at(1));
        m_out << QStringLiteral("A(z) %1 kódú lista új neve: %2\n").arg(args.at(0), args.at(1));
    } else if (command == u"lista-fajta") {
        lists.changeKind(args.at(0), args.at(1));
        m_out << QStringLiteral("A(z) %1 kódú lista fajtája módosítva.\n").arg(args.at(0));
    } else if (command == u"lista-torol") {
        lists.remove(args.at(0));
        m_out << QStringLiteral("A(z) %1 kódú lista törölve.\n").arg(args.at(0));
    } else if (command == u"esemeny-uj") {
        events.add(args.at(0), args.at(1), args.at(2));
        m_out << QStringLiteral("Az új esemény felvéve: %1 – %2\n").arg(args.at(0), args.at(1));
    } else if (command == u"esemeny-atnevez") {
        events.rename(args.at(0), args.at(1));
        m_out << QStringLiteral("A(z) „%1” kódú esemény új neve: %2\n").arg(args.at(0), args.at(1));
    } else if (command == u"esemeny-torol") {
        events.remove(args.at(0));
        m_out << QStringLiteral("A(z) „%1” kódú esemény törölve.\n").arg(args.at(0));
    }
    return Success;
}

int AdminCommand::showLists(db::Connection &connection)
{
    m_out << QStringLiteral("  Kód  Fajta                 Listán  Összes  Név\n");
    for (const ListRow &row : ListAdmin(connection).lists())
        m_out << rightAligned(row.code, 5) << QStringLiteral("  ")
              << padded(ListAdmin::kindName(row.kind), 20) << rightAligned(row.members, 8)
              << rightAligned(row.entries, 8) << QStringLiteral("  ") << row.name << u'\n';
    return Success;
}

int AdminCommand::showEvents(db::Connection &connection)
{
    m_out << QStringLiteral("Kód  Listán  Bejegyzés  Név\n");
    for (const EventRow &row : EventAdmin(connection).events())
        m_out << padded(row.code, 3) << QStringLiteral("  ")
              << padded(row.onList ? QStringLiteral("igen") : QStringLiteral("nem"), 6)
              << rightAligned(row.entries, 11) << QStringLiteral("  ") << row.name << u'\n';
    return Success;
}

int AdminCommand::showDepartment(db::Connection &connection)
{
    const auto row = DepartmentAdmin(connection).department();
    if (!row) {
        m_out << QStringLiteral("Az osztály még nincs bejegyezve: adatait a program az első "
                                "indításkor kéri.\n");
        return Success;
    }
    m_out << QStringLiteral("Az Intézet DORV kódja:         %1\n").arg(row->intkod)
          << QStringLiteral("A finanszírozási kód:          %1\n").arg(row->finkod)
          << QStringLiteral("Az Osztály megnevezése:        %1\n").arg(row->name)
          << QStringLiteral("Az Osztály típusa:             %1\n")
                 .arg(DepartmentAdmin::typeName(row->type));
    return Success;
}

int AdminCommand::changeDepartment(db::Connection &connection, const QStringList &args)
{
    DepartmentChange change;
    for (int i = 0; i < args.size(); i += 2) {
        const QString &option = args.at(i);
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("A(z) „%1” után az új érték következik.").arg(option));
        const QString &value = args.at(i + 1);
        if (option == u"--intezet")
            change.intkod = value;
        else if (option == u"--finkod")
            change.finkod = value;
        else if (option == u"--nev")
            change.name = value;
        else if (option == u"--tipus")
            change.type = value;
        else
            return usageError(QStringLiteral("Ismeretlen kapcsoló: „%1”.").arg(option));
    }
    DepartmentAdmin department(connection);
    department.change(change);
    m_out << QStringLiteral("Az osztály adatai módosítva.\n");
    return showDepartment(connection);
}

int AdminCommand::newPassword(db::Connection &connection)
{
    DepartmentAdmin department(connection);
    if (!department.department())
        throw db::Error(QStringLiteral("Az osztály még nincs bejegyezve: adatait a program az "
                                       "első indításkor kéri."));
    const std::optional<QString> password
        = m_passwords.read(QStringLiteral("Új belépési jelszó: "));
    const std::optional<QString> again
        = password ? m_passwords.read(QStringLiteral("még egyszer: ")) : std::nullopt;
    if (!password || !again)
        throw db::Error(QStringLiteral("A jelszót kétszer kell beírni; a jelszó nem változott."));
    department.setPassword(*password, *again);
    m_out << QStringLiteral("Az új belépési jelszó érvényes a program következő indításától.\n");
    return Success;
}

int AdminCommand::moveUp(const QStringList &args)
{
    QString role;
    QStringList rest = args;
    if (!rest.isEmpty() && rest.first() == u"--szerep") {
        if (rest.size() < 2)
            return usageError(
                QStringLiteral("A --szerep után a munkaállomások szerepe következik."));
        role = rest.at(1);
        rest.remove(0, 2);
    }
    if (rest.size() > 1)
        return usageError(
            QStringLiteral("A(z) „kiszolgalora” parancs paraméterei nem megfelelők."));
    QString connection;
    if (!rest.isEmpty()) {
        connection = db::connectionfile::checkedConnectionText(rest.first(),
                                                               QStringLiteral("a parancssor"));
    } else if (const std::optional<QString> file = db::connectionfile::read(m_programDir)) {
        connection = *file;
    } else {
        return usageError(QStringLiteral("Nincs megadva a kiszolgáló, és kapcsolatfájl sincs "
                                         "(%1 vagy a program mappájában %2).")
                              .arg(QString::fromLatin1(db::connectionfile::installedMachineFile),
                                   QString::fromLatin1(db::connectionfile::fileName)));
    }
    UpkeepAdmin(m_out, m_err, m_programDir).moveUp(connection, role);
    return Success;
}

int AdminCommand::report(db::Connection &connection)
{
    const report::DailyReport outcome
        = report::makeDailyReport(connection, m_programDir, db::today());
    switch (outcome.outcome) {
    case report::DailyReport::Outcome::Written:
        m_out << outcome.message << u'\n';
        return Success;
    case report::DailyReport::Outcome::NoRows:
        m_err << outcome.message << u'\n';
        return NoReportRows;
    case report::DailyReport::Outcome::Failed:
        break;
    }
    m_err << outcome.message << u'\n';
    return Failure;
}

int AdminCommand::statistics(db::Connection &connection, const QStringList &args)
{
    const StatisticsAdmin::Request request = StatisticsAdmin::parse(args);
    StatisticsAdmin figures(connection);
    m_out << (request.csv ? figures.csvText(request.list, db::today())
                          : figures.text(request.list, db::today()));
    return Success;
}

} // namespace admin
