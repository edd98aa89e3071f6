#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace admin {

// The tool's commands that keep the department's data as a whole: backup, restore, check,
// upgrade and the move to the server. Each writes its Hungarian report to out, a verdict of
// a failed check to err; failures are thrown as db::Error.
class UpkeepAdmin
{
public:
    UpkeepAdmin(QTextStream &out, QTextStream &err, const QString &programDir);

    void backup(const QString &folder);
    // Into the department's data, or into the server database the connection text names
    // (the one to restore a server backup into is empty, and the role that owns it restores).
    void restore(const QString &backupPath, const QString &connectionText);
    // A database file by its path, or the department's data; true when it is whole.
    bool check(const QString &path);
    void upgrade(const QString &connectionText);
    // Moves the folder's database file up to the server the connection text names.
    void moveUp(const QString &connectionText, const QString &role);

private:
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_programDir;
};

} // namespace admin
