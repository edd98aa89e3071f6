#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace bench {

// The database file as a plain C program opens and reads it: the key, a busy timeout,
// nothing else. The baseline every program case of the file is measured against.
class RawFile
{
public:
    explicit RawFile(const QString &path);
    ~RawFile();
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    // True when the key proved right at the first read.
    bool isOpen() const { return m_open; }

    struct Read
    {
        qint64 rows = 0;
        double bytes = 0; // of the values read: 8 a whole number, a text's own length
    };
    // Every column of every row of a statement with at most one integer parameter.
    Read read(const QByteArray &sql, int parameter = 0);
    // The report's rows into the report file, as rawReport makes it; -1 on failure.
    qint64 report(const QString &path);

private:
    sqlite3 *m_db = nullptr;
    bool m_open = false;
};

} // namespace bench
