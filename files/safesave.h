#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <system_error>

namespace files {

// How one kind of file is saved.
struct SaveOptions
{
    // The new file's rights. Empty: an earlier file's rights are kept, a new file gets
    // what the umask allows.
    QFileDevice::Permissions permissions;
    // Before starting, removes the temporaries of files with the same ending (".xml")
    // that a crash left in the folder over ten minutes ago. For folders that only the
    // program writes into.
    bool removeStaleTemporaries = false;
    // The messages of a failure: %1 the file, %2 the cause.
    QString notCreated = QStringLiteral("A(z) %1 fájl nem írható: %2");
    QString notSaved = QStringLiteral("A(z) %1 fájl nem írható: %2");
};

// Every file the program writes goes through here, so that the file of that name is either
// the earlier one, byte for byte, or the complete new one. The bytes go to a temporary file
// beside it, "<name>.keszul-XXXXXX" ("készül": being made; six letters or digits); every write
// is checked, the bytes are synced to the disk, the temporary file is renamed over the name (a
// link standing there is replaced, never followed) and the folder is synced. A failure throws
// db::Error naming the file and the cause in Hungarian, and removes the temporary file.
//
// Written through this device (start(), write(), commit()), or by another writer that opens
// temporaryPath() itself, such as the database engine's backup (startForOtherWriter(),
// commit()). Nothing is kept until commit(): destroyed before it, the save leaves no trace.
class SafeSave : public QIODevice
{
    Q_OBJECT
public:
    explicit SafeSave(const QString &path, SaveOptions options = {});
    SafeSave(const SafeSave &) = delete;
    SafeSave &operator=(const SafeSave &) = delete;
    ~SafeSave() override;

    // Creates the temporary file and opens this device for writing into it.
    void start();
    // Creates the temporary file empty and closed, for a writer that opens it by its name.
    void startForOtherWriter();
    // Puts the written file in place of the name. On a failure the earlier file of that name
    // is untouched and the temporary file gone.
    void commit();

    QString path() const { return m_path; }
    QString temporaryPath() const { return m_file.fileName(); }

    // Whether a file name is one of these temporary files.
    static bool isTemporaryName(const QString &fileName);
    // Removes the temporary files in the folder whose name ends in `ending` + the mark and
    // that were last written before the time; files being written by another workstation
    // just now are left alone, and so are links. Returns how many went.
    static int removeStaleTemporaries(const QString &folder, const QString &ending,
                                      const QDateTime &writtenBefore);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void createTemporary();
    bool flushPending();
    [[noreturn]] void fail(const QString &pattern, std::error_code cause);
    void discard();

    QString m_path;
    SaveOptions m_options;
    QFile m_file;
    QByteArray m_pending; // written but not yet handed to the system
    std::error_code m_writeError;
    bool m_committed = false;
};

// Writes the whole content through one SafeSave.
void saveWhole(const QString &path, const QByteArray &content, const SaveOptions &options = {});

} // namespace files
