#include "listadmin.h"

#include "textchecks.h"

#include "db/adminstatements.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"

namespace admin {

namespace {

// List 0 is the single list of an outpatient department, and only it: the program goes
// straight to it there, and neither summary shows a J list.
void requireKindFitsCode(qint64 code, const QString &kind)
{
    if (code == 0 && kind != u"J")
        throw db::Error(QStringLiteral("A 0-s kódú lista a járóbeteg-osztály egyetlen listája, "
                                       "csak J fajtájú lehet."));
    if (code != 0 && kind == u"J")
        throw db::Error(QStringLiteral("J fajtájú csak a 0-s kódú lista lehet (a járóbeteg-osztály "
                                       "egyetlen listája)."));
}

qint64 parseListCode(const QString &text)
{
    const qint64 code = parseCode(text, QStringLiteral("A lista kódja"));
    // -1 means "no list chosen" in the program.
    if (code < 0)
        throw db::Error(QStringLiteral("A lista kódja nem lehet negatív: %1.").arg(code));
    return code;
}

} // namespace

ListAdmin::ListAdmin(db::Connection &connection)
    : m_connection(connection)
{
}

QString ListAdmin::kindName(const QString &kind)
{
    if (kind == u"V")
        return QStringLiteral("várólista");
    if (kind == u"B")
        return QStringLiteral("betegfogadási lista");
    if (kind == u"J")
        return QStringLiteral("járóbeteg-lista");
    return QStringLiteral("ismeretlen (%1)").arg(kind);
}

QList<ListRow> ListAdmin::lists()
{
    db::Statement statement(m_connection, db::statements::listsWithCounts());
    QList<ListRow> rows;
    while (statement.step())
        rows.append({statement.int64(0), statement.text(1), statement.text(2), statement.int64(3),
                     statement.int64(4)});
    return rows;
}

QString ListAdmin::requireList(qint64 code)
{
    db::Statement statement(m_connection, db::statements::listName());
    statement.bind(1, code);
    if (!statement.step())
        throw db::Error(QStringLiteral("Nincs %1 kódú lista.").arg(code));
    return statement.text(0);
}

void ListAdmin::requireFreeName(const QString &name, qint64 exceptCode)
{
    db::Statement statement(m_connection, db::statements::listsNamed());
    statement.bind(1, name);
    statement.bind(2, exceptCode);
    if (statement.step())
        throw db::Error(QStringLiteral("Már van „%1” nevű lista (kódja %2); a listák nevei "
                                       "különbözzenek.")
                            .arg(name)
                            .arg(statement.int64(0)));
}

void ListAdmin::add(const QString &codeText, const QString &name, const QString &kindText)
{
    const qint64 code = parseListCode(codeText);
    requireName(name, "BEAV_TIP", "BEAVTIP_NEV", QStringLiteral("A lista neve"));
    const QString kind = parseListKind(kindText);
    requireKindFitsCode(code, kind);

    db::WriteTransaction transaction(m_connection);
    {
        db::Statement existing(m_connection, db::statements::listName());
        existing.bind(1, code);
        if (existing.step())
            throw db::Error(
                QStringLiteral("Már van %1 kódú lista: „%2”.").arg(code).arg(existing.text(0)));
    }
    requireFreeName(name, code);
    db::Statement insert(m_connection, db::statements::insertListRow());
    insert.bind(1, code);
    insert.bind(2, name);
    insert.bind(3, kind);
    insert.step();
    transaction.commit();
}

void ListAdmin::rename(const QString &codeText, const QString &name)
{
    const qint64 code = parseListCode(codeText);
    requireName(name, "BEAV_TIP", "BEAVTIP_NEV", QStringLiteral("A lista neve"));

    db::WriteTransaction transaction(m_connection);
    requireList(code);
    requireFreeName(name, code);
    db::Statement update(m_connection, db::statements::renameList());
    update.bind(1, name);
    update.bind(2, code);
    update.step();
    transaction.commit();
}

void ListAdmin::changeKind(const QString &codeText, const QString &kindText)
{
    const qint64 code = parseListCode(codeText);
    const QString kind = parseListKind(kindText);
    requireKindFitsCode(code, kind);

    db::WriteTransaction transaction(m_connection);
    requireList(code);
    db::Statement update(m_connection, db::statements::changeListKind());
    update.bind(1, kind);
    update.bind(2, code);
    update.step();
    transaction.commit();
}

void ListAdmin::remove(const QString &codeText)
{
    const qint64 code = parseListCode(codeText);

    db::WriteTransaction transaction(m_connection);
    const QString name = requireList(code);
    {
        db::Statement counts(m_connection, db::statements::listEntryCounts());
        counts.bind(1, code);
        counts.step();
        // Entries that left their list still belong to it: the change log and the TAJ search
        // join them to it.
        if (const qint64 entries = counts.int64(0); entries > 0)
            throw db::Error(QStringLiteral("A(z) %1 kódú „%2” lista nem törölhető: %3 bejegyzés "
                                           "tartozik hozzá (ebből %4 van most a listán).")
                                .arg(code)
                                .arg(name)
                                .arg(entries)
                                .arg(counts.int64(1)));
    }
    if (code == 0) {
        db::Statement department(m_connection, db::statements::department());
        if (department.step() && department.text(2) == u"J")
            throw db::Error(QStringLiteral("A 0-s kódú lista a járóbeteg-osztály egyetlen "
                                           "listája, amíg az osztály járóbeteg-osztály, nem "
                                           "törölhető."));
    }
    db::Statement remove(m_connection, db::statements::deleteList());
    remove.bind(1, code);
    remove.step();
    transaction.commit();
}

} // namespace admin
