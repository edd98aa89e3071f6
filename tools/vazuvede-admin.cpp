// The administration tool of the department's IT: lists, event kinds, the department, backups
// and the nightly report. Everything is in admin::AdminCommand; this only wires the process.
#include "admin/admincommand.h"
#include "admin/terminalpassword.h"
#include "db/server/connectionfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    db::connectionfile::setMachineFile(
        QString::fromLatin1(db::connectionfile::installedMachineFile));
    QTextStream out(stdout);
    QTextStream err(stderr);
    admin::TerminalPassword passwords;
    admin::AdminCommand command(out, err, passwords,
                                QDir(QCoreApplication::applicationDirPath()).absolutePath()
                                    + QDir::separator());
    return command.run(application.arguments().mid(1));
}
