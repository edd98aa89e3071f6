#pragma once

#include <QString>
#include <QStringList>

#include <span>

class QTextStream;

namespace db {
class Connection;
}

namespace admin {

class PasswordSource;

// The administration tool without its process: reads the command line, runs one command on
// the program folder's database, and writes Hungarian text to the two streams. The program
// folder is the tool's own unless --mappa names another.
class AdminCommand
{
public:
    enum Exit {
        Success = 0,
        Failure = 1,      // an error, or a refused change: nothing was changed
        Usage = 2,        // a bad command line
        NoReportRows = 3, // the report found no member on any list: no file was made
    };

    // One command as a whole: the command line reads it, --help shows it, its handler runs
    // it. A command works on the folder itself, or on the department's data opened for it.
    struct Declaration
    {
        using OnFolder = int (AdminCommand::*)(const QStringList &args);
        using OnDatabase
            = int (AdminCommand::*)(db::Connection &connection, const QStringList &args);

        const char16_t *heading; // starts a group in --help, or null
        const char16_t *usage;   // the name, then its arguments as --help shows them
        const char16_t *help;    // --help's lines beside it, '\n' between them
        int least;               // how many arguments it takes
        int most;
        OnFolder onFolder;
        OnDatabase onDatabase;

        QString name() const;
    };

    AdminCommand(QTextStream &out, QTextStream &err, PasswordSource &passwords,
                 const QString &toolDir);

    int run(const QStringList &arguments);

    static std::span<const Declaration> commands();
    static QString helpText();

private:
    // Inside the class, so that the table may name the handlers.
    static const Declaration commandTable[];

    int dispatch(const Declaration &command, const QStringList &args);
    int usageError(const QString &text);

    int showLists(db::Connection &connection, const QStringList &args);
    int addList(db::Connection &connection, const QStringList &args);
    int renameList(db::Connection &connection, const QStringList &args);
    int changeListKind(db::Connection &connection, const QStringList &args);
    int removeList(db::Connection &connection, const QStringList &args);
    int showEvents(db::Connection &connection, const QStringList &args);
    int addEvent(db::Connection &connection, const QStringList &args);
    int renameEvent(db::Connection &connection, const QStringList &args);
    int removeEvent(db::Connection &connection, const QStringList &args);
    int showDepartment(db::Connection &connection, const QStringList &args);
    int changeDepartment(db::Connection &connection, const QStringList &args);
    int newPassword(db::Connection &connection, const QStringList &args);
    int report(db::Connection &connection, const QStringList &args);
    int backup(const QStringList &args);
    int restore(const QStringList &args);
    int check(const QStringList &args);
    int upgrade(const QStringList &args);
    int statistics(const QStringList &args);
    int moveUp(const QStringList &args);

    QTextStream &m_out;
    QTextStream &m_err;
    PasswordSource &m_passwords;
    QString m_programDir;
};

} // namespace admin
