#include "newdatabase.h"

#include "connection.h"
#include "engine.h"
#include "error.h"
#include "schema.h"
#include "statement.h"
#include "statements.h"
#include "writetransaction.h"

#include <QFile>

#include <functional>
#include <iterator>

namespace db::schema {

namespace {

struct List
{
    int code;
    const char *name;
    const char *kind;
};

void insertLists(Connection &connection, const List *first, const List *last)
{
    Statement list(connection, statements::insertListRow());
    for (const List *l = first; l != last; ++l) {
        list.bind(1, l->code);
        list.bind(2, QString::fromUtf8(l->name));
        list.bind(3, QString::fromUtf8(l->kind));
        list.step();
        list.reset();
    }
}

// In the caller's write transaction, or in one of its own.
void inOneTransaction(Connection &connection, const std::function<void()> &work)
{
    if (connection.inTransaction())
        return work();
    WriteTransaction transaction(connection);
    work();
    transaction.commit();
}

} // namespace

void insertReferenceData(Connection &connection)
{
    struct Event
    {
        const char *code;
        const char *name;
        const char *onList;
    };
    // A new entry always starts with "Várakozás"; the rest are the ways an entry leaves its
    // list, or stays on it postponed.
    static const Event events[] = {
        {"VAR", "Várakozás", "I"},
        {"HAL", "Halasztva a beteg kérésére", "I"},
        {"BEA", "Beavatkozás megtörtént", "N"},
        {"KER", "Levéve a beteg kérésére", "N"},
        {"ELH", "Elhunyt", "N"},
        {"ATH", "Más intézménybe áthelyezve", "N"},
        {"NJE", "Nem jelent meg", "N"},
    };
    // An outpatient department works on list 0 from its first start, and the TAJ search
    // finds only entries whose list has a row here.
    static const List outpatientList[] = {{0, "Járóbeteg-ellátás", "J"}};

    inOneTransaction(connection, [&] {
        Statement event(connection, statements::insertEventRow());
        for (const Event &e : events) {
            event.bind(1, QString::fromUtf8(e.code));
            event.bind(2, QString::fromUtf8(e.name));
            event.bind(3, QString::fromUtf8(e.onList));
            event.step();
            event.reset();
        }
        insertLists(connection, std::begin(outpatientList), std::end(outpatientList));
    });
}

void insertSampleLists(Connection &connection)
{
    static const List lists[] = {
        {1, "Csípőprotézis beültetése", "V"}, {2, "Térdprotézis beültetése", "V"},
        {3, "Szürkehályog-műtét", "V"},       {4, "Epehólyag-eltávolítás", "V"},
        {5, "Lágyéksérv-műtét", "V"},         {11, "Belgyógyászati felvétel", "B"},
        {12, "Sebészeti felvétel", "B"},      {13, "Nőgyógyászati felvétel", "B"},
    };
    inOneTransaction(connection,
                     [&] { insertLists(connection, std::begin(lists), std::end(lists)); });
}

void fillNewDatabase(Connection &connection, Contents contents, int version)
{
    WriteTransaction transaction(connection);
    connection.engine().createSchema(version < 0 ? currentVersion : version);
    insertReferenceData(connection);
    if (contents == Contents::WithSampleLists)
        insertSampleLists(connection);
    transaction.commit();
}

void createDatabase(const QString &path, Contents contents)
{
    Connection connection;
    connection.open(path, Connection::Mode::CreateNew);
    try {
        fillNewDatabase(connection, contents);
        connection.close();
    } catch (...) {
        connection.close();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}

int upgradeDatabase(Connection &connection)
{
    Engine &engine = connection.engine();
    WriteTransaction transaction(connection);
    const int seen = connection.schemaVersion();
    if (seen < engine.oldestUpgradableVersion() || seen > currentVersion)
        throw Error(QStringLiteral("Az adatbázis ismeretlen változatú (%1. verzió), nem "
                                   "frissíthető: %2")
                        .arg(seen)
                        .arg(connection.path()));
    // Read again under the lock: another upgrade may have ended meanwhile.
    transaction.guardTable(QStringLiteral("LISTA"));
    const int version = connection.schemaVersion();
    if (version < currentVersion) {
        for (const QString &step : engine.upgradeSteps(version))
            connection.execute(step);
    }
    transaction.commit();
    return version;
}

int upgradeDatabase(const QString &path)
{
    Connection connection;
    connection.open(path, Connection::Mode::ExistingAnyVersion);
    return upgradeDatabase(connection);
}

} // namespace db::schema
