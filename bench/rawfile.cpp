#include "rawfile.h"

#include "rawreport.h"

#include "db/connection.h"
#include "db/file/fileengine.h"

#include <sqlite3.h>

namespace bench {

RawFile::RawFile(const QString &path)
{
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = db::FileEngine::key();
    sqlite3_key(m_db, key.constData(), int(key.size()));
    sqlite3_busy_timeout(m_db, db::busyTimeoutMs);
    m_open = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr)
             == SQLITE_OK;
}

RawFile::~RawFile()
{
    sqlite3_close_v2(m_db);
}

RawFile::Read RawFile::read(const QByteArray &sql, int parameter)
{
    Read result;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr);
    if (sqlite3_bind_parameter_count(stmt) > 0)
        sqlite3_bind_int(stmt, 1, parameter);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++result.rows;
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                result.bytes += 8;
                continue;
            }
            const unsigned char *text = sqlite3_column_text(stmt, c);
            result.bytes += text ? sqlite3_column_bytes(stmt, c) : 0;
        }
    }
    sqlite3_finalize(stmt);
    return result;
}

qint64 RawFile::report(const QString &path)
{
    return rawReport(m_db, path);
}

} // namespace bench
