#include "fileerror.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace db::fileerror {

namespace {

QString folderLead(const QString &databasePath)
{
    return QStringLiteral("A program nem tud írni az adatbázisfájl (%1) mappájába. Az adatbázis "
                          "mappájának a program minden felhasználója számára írhatónak kell "
                          "lennie: kérje meg a rendszergazdát, hogy adjon rá írási jogot")
        .arg(QDir::toNativeSeparators(databasePath));
}

} // namespace

ErrorKind kindOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ErrorKind::Busy;
    case SQLITE_CONSTRAINT:
        return ErrorKind::Constraint;
    case SQLITE_MISMATCH:
        return ErrorKind::Mismatch;
    case SQLITE_READONLY:
        return ErrorKind::ReadOnly;
    case SQLITE_FULL:
        return ErrorKind::Full;
    case SQLITE_IOERR:
        return ErrorKind::Io;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ErrorKind::Corrupt;
    case SQLITE_CANTOPEN:
        return ErrorKind::CantOpen;
    case SQLITE_NOMEM:
        return ErrorKind::NoMemory;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ErrorKind::Permission;
    case SQLITE_TOOBIG:
        return ErrorKind::TooBig;
    case SQLITE_RANGE:
        return ErrorKind::Range;
    case SQLITE_ERROR:
        return ErrorKind::Statement;
    case SQLITE_ABORT:
        return ErrorKind::Aborted;
    default:
        return ErrorKind::Other;
    }
}

// The engine needs to create and delete its journal beside the database: in a folder this
// user may not write it fails with "unable to open database file" or "disk I/O error", which
// tells the user nothing of the cause. Only those failures are blamed on the folder, and only
// when the folder really is not writable, so a true disk fault keeps its own message.
bool folderRefusesWriting(const QString &databasePath, int rc)
{
    const int family = rc & 0xff;
    if (databasePath.isEmpty()
        || (family != SQLITE_CANTOPEN && family != SQLITE_IOERR && family != SQLITE_READONLY))
        return false;
    return !QFileInfo(QFileInfo(databasePath).absolutePath()).isWritable();
}

Error engineError(sqlite3 *db, int rc, const QString &databasePath)
{
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    const QString detail
        = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int failure = code ? code : rc;
    QString lead = errorLead(kindOf(rc));
    if (folderRefusesWriting(databasePath, failure))
        lead = folderLead(databasePath);
    else if (kindOf(rc) == ErrorKind::Other)
        lead = QStringLiteral("Adatbázishiba (%1)").arg(rc);
    return Error(lead + QStringLiteral(": ") + detail, kindOf(failure));
}

} // namespace db::fileerror
