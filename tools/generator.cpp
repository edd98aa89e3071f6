#include "generator.h"

#include "db/adminstatements.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"
#include "db/newdatabase.h"
#include "db/sqltext.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"
#include "rules/taj.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <vector>

namespace tools {

namespace {

const char *const familyNames[] = {
    "Nagy",    "Kovács",   "Tóth",    "Szabó",   "Horváth",  "Varga",     "Kiss",    "Molnár",
    "Németh",  "Farkas",   "Balogh",  "Papp",    "Takács",   "Juhász",    "Lakatos", "Mészáros",
    "Oláh",    "Simon",    "Rácz",    "Fekete",  "Szilágyi", "Török",     "Fehér",   "Balázs",
    "Gál",     "Kis",      "Szűcs",   "Kocsis",  "Pintér",   "Fodor",     "Szalai",  "Sipos",
    "Magyar",  "Lukács",   "Gulyás",  "Biró",    "Király",   "Katona",    "László",  "Jakab",
    "Bogdán",  "Sándor",   "Boros",   "Fazekas", "Kelemen",  "Antal",     "Orosz",   "Somogyi",
    "Fülöp",   "Veres",    "Budai",   "Vincze",  "Hegedűs",  "Deák",      "Pap",     "Bálint",
    "Illés",   "Vörös",    "Szőke",   "Fábián",  "Vass",     "Lengyel",   "Bodnár",  "Hajdu",
    "Halász",  "Máté",     "Székely", "Gáspár",  "Pásztor",  "Bakos",     "Dudás",   "Orbán",
    "Hegyi",   "Virág",    "Barna",   "Soós",    "Nemes",    "Pataki",    "Faragó",  "Kerekes",
    "Borbély", "Szekeres", "Mezei",   "Erdős",   "Győri",    "Csizmadia", "Ördög",   "Kőváry",
    "Dobos",   "Bencze",
};

const char *const maleNames[] = {
    "László", "István", "József",  "János",  "Zoltán",  "Sándor", "Gábor",    "Ferenc",
    "Attila", "Péter",  "Tamás",   "Zsolt",  "Tibor",   "András", "Csaba",    "Imre",
    "Lajos",  "György", "Balázs",  "Róbert", "Mihály",  "Béla",   "Károly",   "Dávid",
    "Ödön",   "Győző",  "Levente", "Bence",  "Máté",    "Ákos",   "Örs",      "Dezső",
    "Jenő",   "Ernő",   "Kálmán",  "Gyula",  "Szilárd", "Miklós", "Barnabás", "Előd",
};

const char *const femaleNames[] = {
    "Mária",  "Erzsébet", "Katalin",  "Éva",    "Ilona",     "Anna",      "Zsuzsanna", "Margit",
    "Judit",  "Ágnes",    "Andrea",   "Erika",  "Krisztina", "Irén",      "Eszter",    "Julianna",
    "Zsófia", "Ildikó",   "Gyöngyi",  "Tünde",  "Csilla",    "Bernadett", "Orsolya",   "Réka",
    "Noémi",  "Dóra",     "Piroska",  "Etelka", "Gizella",   "Rozália",   "Jolán",     "Klára",
    "Enikő",  "Emőke",    "Hajnalka", "Mónika", "Szilvia",   "Anikó",     "Boglárka",  "Lilla",
};

template<size_t N> QByteArray pick(const char *const (&names)[N], std::mt19937 &random)
{
    return QByteArray(names[random() % N]);
}

struct EventWeight
{
    const char *code;
    int weight;
};

// Most entries wait; the rest had their intervention or left the list.
constexpr std::array<EventWeight, 7> eventWeights{
    {{"VAR", 60}, {"HAL", 12}, {"BEA", 15}, {"KER", 4}, {"ELH", 3}, {"ATH", 2}, {"NJE", 4}}};

constexpr int daysBack = 5 * 365;

struct Patient
{
    QByteArray taj;
    QByteArray name;
};

struct Entry
{
    qint64 list = 0;
    int patient = 0;
    qint64 listara = 0; // Julian days
    qint64 created = 0;
    qint64 eventDay = 0;
    int event = 0;
    bool acute = false;
};

class Generator
{
public:
    Generator(db::Connection &connection, const GeneratorOptions &options)
        : m_connection(connection)
        , m_options(options)
        , m_random(options.seed)
    {
    }

    void run(int count);

private:
    int below(int n) { return int(m_random() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

    QList<qint64> chooseLists();
    std::vector<int> availableEvents();
    Patient newPatient();
    QByteArray newName();
    void insertDepartment();
    // The entries in the order they are written (by the day each was made), and their patients.
    std::vector<Entry> planEntries(int count, qint64 today, std::vector<Patient> &patients);
    void writeEntries(const std::vector<Entry> &entries, const std::vector<Patient> &patients,
                      qint64 today);

    db::Connection &m_connection;
    const GeneratorOptions &m_options;
    std::mt19937 m_random;
};

// The texts of every day the generator uses, made once: a million rows would otherwise
// spend more time formatting days than writing them.
class DayTexts
{
public:
    DayTexts(qint64 first, qint64 last)
        : m_first(first)
    {
        for (qint64 day = first; day <= last; ++day) {
            const QDate date = QDate::fromJulianDay(day);
            m_iso.push_back(date.toString(Qt::ISODate).toLatin1());
            m_sql.push_back(db::sqlDateText(date).toLatin1());
        }
    }
    const QByteArray &iso(qint64 day) const { return m_iso[size_t(day - m_first)]; }
    const QByteArray &sql(qint64 day) const { return m_sql[size_t(day - m_first)]; }

private:
    qint64 m_first;
    std::vector<QByteArray> m_iso;
    std::vector<QByteArray> m_sql;
};

QList<qint64> Generator::chooseLists()
{
    QSet<qint64> known;
    db::Statement all(m_connection, db::statements::listKinds());
    QList<qint64> defaults;
    while (all.step()) {
        const qint64 code = all.int64(0);
        known.insert(code);
        const QString kind = all.text(1);
        if (m_options.outpatient ? kind == QStringLiteral("J")
                                 : (kind == QStringLiteral("V") || kind == QStringLiteral("B")))
            defaults << code;
    }
    // A new inpatient file has no lists of its own yet: the generator fills the sample ones.
    if (m_options.lists.isEmpty() && defaults.isEmpty() && !m_options.outpatient) {
        db::schema::insertSampleLists(m_connection);
        return chooseLists();
    }
    if (m_options.lists.isEmpty()) {
        if (defaults.isEmpty())
            throw db::Error(QStringLiteral("Az adatbázisban nincs feltölthető lista"));
        std::sort(defaults.begin(), defaults.end());
        return defaults;
    }
    for (const qint64 code : m_options.lists) {
        if (!known.contains(code))
            throw db::Error(QStringLiteral("Nincs ilyen lista az adatbázisban: %1").arg(code));
    }
    return m_options.lists;
}

std::vector<int> Generator::availableEvents()
{
    QSet<QString> codes;
    db::Statement all(m_connection, db::statements::eventCodes());
    while (all.step())
        codes.insert(all.text(0));
    if (!codes.contains(QStringLiteral("VAR")))
        throw db::Error(QStringLiteral("Az adatbázisban nincs VAR (Várakozás) esemény"));
    std::vector<int> events;
    for (size_t i = 0; i < eventWeights.size(); ++i) {
        if (codes.contains(QString::fromLatin1(eventWeights[i].code)))
            events.push_back(int(i));
    }
    return events;
}

QByteArray Generator::newName()
{
    QByteArray name;
    if (chance(2))
        name += "dr. ";
    const bool female = chance(52);
    if (female && chance(20))
        name += pick(familyNames, m_random) + "né ";
    name += pick(familyNames, m_random);
    name += ' ';
    name += female ? pick(femaleNames, m_random) : pick(maleNames, m_random);
    if (chance(12)) {
        name += ' ';
        name += female ? pick(femaleNames, m_random) : pick(maleNames, m_random);
    }
    return name;
}

Patient Generator::newPatient()
{
    const quint32 firstEight = m_random() % 100000000u;
    char taj[10];
    std::snprintf(taj, sizeof taj, "%08u%d", firstEight, rules::tajCheckDigit(firstEight));
    return {QByteArray(taj), newName()};
}

void Generator::insertDepartment()
{
    if (m_connection.scalar(db::statements::departmentRows()).toLongLong() > 0)
        return;
    db::Statement statement(m_connection, db::statements::insertDepartmentRow());
    const QString intkod = QStringLiteral("%1").arg(1000 + below(9000));
    statement.bind(1, intkod);
    statement.bind(2, intkod + QStringLiteral("%1").arg(below(100000), 5, 10, QLatin1Char('0')));
    statement.bind(3, m_options.outpatient ? QStringLiteral("J") : QStringLiteral("F"));
    statement.bind(4, m_options.outpatient ? QStringLiteral("Ortopédiai Szakrendelés")
                                           : QStringLiteral("Általános Sebészeti Osztály"));
    statement.bind(5, QStringLiteral("titok"));
    statement.step();
}

void Generator::run(int count)
{
    if (count < minimumEntryCount || count > maximumEntryCount)
        throw db::Error(QStringLiteral("A bejegyzések száma %1 és %2 között lehet, nem %3")
                            .arg(minimumEntryCount)
                            .arg(maximumEntryCount)
                            .arg(count));
    const qint64 today = db::today().toJulianDay();
    db::WriteTransaction transaction(m_connection);
    std::vector<Patient> patients;
    const std::vector<Entry> entries = planEntries(count, today, patients);
    m_connection.engine().setBulkWriting(true);
    writeEntries(entries, patients, today);
    transaction.commit();
    m_connection.engine().setBulkWriting(false);
}

std::vector<Entry> Generator::planEntries(int count, qint64 today, std::vector<Patient> &patients)
{
    const QList<qint64> lists = chooseLists();
    const std::vector<int> events = availableEvents();
    int totalWeight = 0;
    for (const int event : events)
        totalWeight += eventWeights[size_t(event)].weight;
    insertDepartment();

    patients.reserve(size_t(count));
    std::vector<Entry> entries(static_cast<size_t>(count));
    for (Entry &entry : entries) {
        // Some patients stand on more than one list.
        if (!patients.empty() && chance(6)) {
            entry.patient = below(int(patients.size()));
        } else {
            entry.patient = int(patients.size());
            patients.push_back(newPatient());
        }
        entry.list = lists.at(below(int(lists.size())));
        entry.listara = today - below(daysBack + 1);
        entry.created = std::min(today, entry.listara + below(3));
        int roll = below(totalWeight);
        for (const int event : events) {
            roll -= eventWeights[size_t(event)].weight;
            if (roll < 0) {
                entry.event = event;
                break;
            }
        }
        entry.eventDay = entry.created;
        if (entry.event != 0 && entry.created < today)
            entry.eventDay
                = entry.created + 1 + below(int(std::min<qint64>(today - entry.created, 730)));
        entry.acute = chance(12);
    }
    // Reference numbers grow with the day an entry was made, as they do in use.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.created < b.created; });
    return entries;
}

void Generator::writeEntries(const std::vector<Entry> &entries,
                             const std::vector<Patient> &patients, qint64 today)
{
    const DayTexts days(today - daysBack, today);
    db::Statement lista(m_connection, db::statements::insertEntryRow());
    db::Statement log(m_connection, db::statements::insertLogRow());
    const QByteArray acute("A");
    const QByteArray deferrable("H");
    for (const Entry &entry : entries) {
        const Patient &patient = patients[size_t(entry.patient)];
        const char *eventCode = eventWeights[size_t(entry.event)].code;
        lista.bindInteger(1, entry.list);
        lista.bindText(2, patient.taj);
        lista.bindText(3, patient.name);
        lista.bindText(4, days.iso(entry.listara));
        lista.bindText(5, entry.acute ? acute : deferrable);
        lista.bindText(6, eventCode);
        lista.bindText(7, days.iso(entry.eventDay));
        lista.bindText(8, days.iso(entry.created));
        lista.step();
        lista.reset();
        if (entry.event == 0)
            continue;

        // The member dialog's log: the event code, then the event day when it moved, as
        // the statement texts write them (codes and M/D/YYYY text).
        const qint64 hivSzam = m_connection.lastInsertRowId();
        char time[16];
        std::snprintf(time, sizeof time, " %02d:%02d:%02d", 8 + below(9), below(60), below(60));
        const QByteArray when = days.iso(std::min(today, entry.eventDay + below(3))) + time;
        const auto writeLog
            = [&](const char *column, const QByteArray &oldValue, const QByteArray &newValue) {
                  log.bindText(1, when);
                  log.bindInteger(2, hivSzam);
                  log.bindText(3, column);
                  log.bindText(4, oldValue);
                  log.bindText(5, newValue);
                  log.step();
                  log.reset();
              };
        writeLog("ESEM_KOD", QByteArray(eventWeights[0].code), QByteArray(eventCode));
        if (entry.eventDay != entry.created)
            writeLog("ESEM_DATUM", days.sql(entry.created), days.sql(entry.eventDay));
    }
}

} // namespace

void generate(db::Connection &connection, int count, const GeneratorOptions &options)
{
    Generator(connection, options).run(count);
}

} // namespace tools
