#include "connection.h"

#include "engine.h"
#include "file/fileengine.h"
#include "messages.h"
#include "server/connectionfile.h"
#include "server/serverengine.h"
#include "statement.h"

#include <QDir>

namespace db {

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

// The one place that chooses the engine.
void Connection::openDepartment(const QString &programDir, Use use)
{
    close();
    if (const std::optional<QString> server = connectionfile::read(programDir)) {
        const bool current = use == Use::Work || use == Use::Alone;
        m_engine = std::make_unique<ServerEngine>(*server, current ? Mode::Existing
                                                                   : Mode::ExistingAnyVersion);
        return;
    }
    openDepartmentFile(programDir, use);
}

void Connection::openDepartmentFile(const QString &programDir, Use use)
{
    close();
    m_engine = FileEngine::openDepartmentFile(
        QDir(programDir).filePath(QString::fromLatin1(databaseFileName)), use);
}

void Connection::open(const QString &path, Mode mode)
{
    close();
    m_engine = std::make_unique<FileEngine>(path, mode);
}

void Connection::openServer(const QString &connectionText, Mode mode)
{
    close();
    m_engine = std::make_unique<ServerEngine>(connectionText, mode);
}

void Connection::close()
{
    m_engine.reset();
}

QString Connection::path() const
{
    return m_engine ? m_engine->description() : QString();
}

Engine &Connection::engine() const
{
    if (!m_engine)
        throw Error(message::notOpen.toString());
    return *m_engine;
}

void Connection::execute(const QString &sql)
{
    engine().execute(sql);
}

QVariant Connection::scalar(const QString &sql)
{
    Statement statement(*this, sql);
    if (!statement.step())
        return {};
    return statement.value(0);
}

int Connection::schemaVersion()
{
    return engine().schemaVersion();
}

bool Connection::inTransaction() const
{
    return m_engine && m_engine->inTransaction();
}

bool Connection::transactionFailed() const
{
    return m_engine && m_engine->transactionFailed();
}

qint64 Connection::lastInsertRowId()
{
    return m_engine ? m_engine->lastInsertId() : 0;
}

QString Connection::selectAllText(const QString &name)
{
    return QStringLiteral("SELECT * FROM ") + plainIdentifier(name);
}

QString plainIdentifier(const QString &name)
{
    const auto isWordChar
        = [](QChar c) { return c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_'); };
    const bool plain = !name.isEmpty() && !name.at(0).isDigit()
                       && std::all_of(name.cbegin(), name.cend(), isWordChar);
    if (!plain)
        throw Error(QStringLiteral("Érvénytelen tábla- vagy lekérdezésnév: %1").arg(name),
                    ErrorKind::Statement);
    return name;
}

} // namespace db
