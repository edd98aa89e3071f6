#pragma once

#include "tempdatabase.h"

#include "admin/admincommand.h"
#include "admin/passwordsource.h"
#include "db/schema.h"

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
        connection.open(dir.databasePath());
        insertDepartment(connection, QStringLiteral("1234"), QStringLiteral("123456789"),
                         QStringLiteral("F"), QStringLiteral("Szemészet"), QStringLiteral("titok"));
        insertEntry(connection, 3, QStringLiteral("111111110"), QStringLiteral("Őri Ágnes"),
                    QDate(2006, 2, 1));
        insertEntry(connection, 3, QStringLiteral("222222220"), QStringLiteral("O'Brien Kate"),
                    QDate(2006, 2, 2));
        insertEntry(connection, 3, QStringLiteral("333333330"), QStringLiteral("Kiss Ödön"),
                    QDate(2006, 2, 3), QStringLiteral("A"), QStringLiteral("BEA"));
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
