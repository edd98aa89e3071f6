#pragma once

#include <QString>
#include <QStringList>

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

    AdminCommand(QTextStream &out, QTextStream &err, PasswordSource &passwords,
                 const QString &toolDir);

    int run(const QStringList &arguments);

    static QString helpText();

private:
    int dispatch(const QString &command, const QStringList &args);
    int usageError(const QString &message);

    int showLists(db::Connection &connection);
    int showEvents(db::Connection &connection);
    int showDepartment(db::Connection &connection);
    int changeDepartment(db::Connection &connection, const QStringList &args);
    int newPassword(db::Connection &connection);
    int report(db::Connection &connection);
    int statistics(db::Connection &connection, const QStringList &args);
    int moveUp(const QStringList &args);

    QTextStream &m_out;
    QTextStream &m_err;
    PasswordSource &m_passwords;
    QString m_programDir;
};

} // namespace admin
