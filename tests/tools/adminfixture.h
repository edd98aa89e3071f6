#pragma once

#include "serverdatabase.h"
#include "tempdatabase.h"

#include "admin/admincommand.h"
#include "admin/passwordsource.h"
#include "db/connection.h"
#include "db/engine.h"
#include "db/newdatabase.h"
#include "db/server/connectionfile.h"
#include "db/statements.h"

#include <QFile>
#include <QTest>

#include <QStringList>
#include <QTextStream>

namespace testsupport {

// Answers the password prompts from a list; records the prompts.
class ScriptedPasswords : public admin::PasswordSource
{
public:
    std::optional<QString> read(const QString &prompt) override
    {
        prompts << prompt;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QStringList answers;
    QStringList prompts;
};

// A program folder with a registered inpatient department (password "titok") and three
// entries on list 3: two waiting, one whose operation is done (off the list).
struct AdminFixture
{
    AdminFixture()
    {
        db::Connection connection;
        dir.connect(connection);
        insertDepartment(connection, QStringLiteral("1234"), QStringLiteral("123456789"),
                         QStringLiteral("F"), QStringLiteral("Szemészet"), QStringLiteral("titok"));
        insertEntry(connection, 3, QStringLiteral("111111110"), QStringLiteral("Őri Ágnes"),
                    QDate(2006, 2, 1));
        insertEntry(connection, 3, QStringLiteral("222222220"), QStringLiteral("O'Brien Kate"),
                    QDate(2006, 2, 2));
        insertEntry(connection, 3, QStringLiteral("333333330"), QStringLiteral("Kiss Ödön"),
                    QDate(2006, 2, 3), QStringLiteral("A"), QStringLiteral("BEA"));
    }

    // Puts a database of an older schema version in the folder's place, holding one entry
    // and one change of its event: the oldest this engine's data can be upgraded from.
    void replaceWithOlderDatabase()
    {
        db::Connection old;
        if (serverEngine()) {
            const QString server = newServerDatabase();
            old.openServer(server, db::Connection::Mode::ExistingAnyVersion);
            QFile file(dir.path() + QString::fromLatin1(db::connectionfile::fileName));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(server.toUtf8());
        } else {
            QVERIFY(QFile::remove(dir.databasePath()));
            old.open(dir.databasePath(), db::Connection::Mode::CreateNew);
        }
        db::schema::fillNewDatabase(old, db::schema::Contents::Empty,
                                    old.engine().oldestUpgradableVersion());
        const qint64 entry = insertEntry(old, 0, QStringLiteral("111111110"),
                                         QStringLiteral("Régi Ödön"), QDate(2005, 1, 2));
        old.execute(db::statements::insertLogEventCode(
            QString::number(entry), QStringLiteral("VAR"), QStringLiteral("HAL")));
    }

    // Runs one command in-process; out and err keep what it wrote.
    int run(const QStringList &arguments)
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        admin::AdminCommand command(outStream, errStream, passwords, dir.path());
        return command.run(arguments);
    }

    TempProgramDir dir{db::schema::Contents::WithSampleLists};
    ScriptedPasswords passwords;
    QString out;
    QString err;
};

} // namespace testsupport
