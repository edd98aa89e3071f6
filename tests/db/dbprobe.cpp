// Run by tst_connection as another user: opens the program's database and, when asked,
// records one entry, the way the program itself would. Prints the message of a refusal.
// Exit code: 0 done, 1 refused with a db::Error, 2 wrong arguments.

#include "support/tempdatabase.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/writetransaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    QTextStream out(stdout);
    try {
        db::Connection connection;
        connection.open(arguments.at(1));
        if (arguments.at(2) == QStringLiteral("write")) {
            db::WriteTransaction transaction(connection);
            testsupport::insertEntry(connection, 1, QStringLiteral("123456782"),
                                     QStringLiteral("Próba Péter"), QDate(2006, 1, 1));
            transaction.commit();
        }
    } catch (const db::Error &error) {
        out << error.message() << Qt::endl;
        return 1;
    }
    return 0;
}
