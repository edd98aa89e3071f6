#pragma once

#include <QDateTime>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <system_error>

// The day's report file written so that the file of that name is either the earlier one,
// byte for byte, or the complete new one. The bytes go to a temporary file beside it, named
// "<report name>.keszul-XXXXXX" ("készül": being made; six letters or digits); every write is
// checked, the bytes are synced to the disk, the temporary file is renamed over the report's
// name (a link standing there is replaced, never followed) and the folder is synced.
class ReportSaveFile : public QIODevice
{
    Q_OBJECT
public:
    explicit ReportSaveFile(const QString &path);
    ~ReportSaveFile() override;

    // Removes the program's own stale temporary files from the folder, then creates a new
    // one. Throws db::Error naming the file and the cause.
    void start();
    // Puts the written file in place of the report's name. Throws db::Error naming the file
    // and the cause; the earlier file of that name is then untouched and the temporary file gone.
    void commit();

    QString temporaryPath() const { return m_file.fileName(); }

    // Whether a file name is one of this save's temporary files.
    static bool isTemporaryName(const QString &fileName);
    // Removes the temporary files in the folder last written before the time; files being
    // written by another workstation just now are left alone. Returns how many went.
    static int removeStaleTemporaries(const QString &folder, const QDateTime &writtenBefore);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    [[noreturn]] void fail(const char *what, std::error_code cause);
    void discard();

    QString m_path;
    QFile m_file;
    std::error_code m_writeError;
    bool m_committed = false;
};
