#include "reportsavefile.h"

#include "filereason.h"
#include "filesync.h"

#include "db/error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <filesystem>

namespace {

constexpr auto temporaryMark = ".keszul-";
constexpr int randomLength = 6;
// Reports are made in seconds; a temporary file untouched this long was left by a crash.
constexpr qint64 staleAfterSeconds = qint64(10) * 60;

constexpr QFileDevice::Permissions ownerAndGroup = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | QFileDevice::ReadGroup
                                                   | QFileDevice::WriteGroup;

// errno right after a failed call, or the file's own kind of failure when errno says nothing.
std::error_code lastError(const QFileDevice &file, int savedErrno)
{
    if (savedErrno != 0)
        return {savedErrno, std::generic_category()};
    if (file.error() == QFileDevice::ResourceError)
        return std::make_error_code(std::errc::no_space_on_device);
    return std::make_error_code(std::errc::io_error);
}

QString randomPart()
{
    static constexpr char letters[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (int i = 0; i < randomLength; ++i)
        text += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
    return text;
}

std::filesystem::path fsPath(const QString &path)
{
    return {QDir::toNativeSeparators(path).toStdU16String()};
}

} // namespace

ReportSaveFile::ReportSaveFile(const QString &path)
    : m_path(path)
{
}

ReportSaveFile::~ReportSaveFile()
{
    if (!m_committed)
        discard();
}

bool ReportSaveFile::isTemporaryName(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^.+\\.xml\\.keszul-[A-Za-z0-9]{%1}$").arg(randomLength));
    return pattern.match(fileName).hasMatch();
}

int ReportSaveFile::removeStaleTemporaries(const QString &folder, const QDateTime &writtenBefore)
{
    int removed = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // Links are never the program's own; other names belong to someone else.
        if (info.isSymLink() || !info.isFile() || !isTemporaryName(info.fileName()))
            continue;
        if (info.lastModified() < writtenBefore && QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

void ReportSaveFile::fail(const char *what, std::error_code cause)
{
    discard();
    throw db::Error(QStringLiteral("%1: %2 (%3)")
                        .arg(QString::fromUtf8(what), QDir::toNativeSeparators(m_path),
                             report::failureReason(cause)));
}

void ReportSaveFile::discard()
{
    if (m_file.fileName().isEmpty())
        return;
    m_file.close();
    QFile::remove(m_file.fileName());
    m_file.setFileName(QString());
    if (isOpen())
        close();
}

void ReportSaveFile::start()
{
    constexpr auto notCreated = "Nem hozható létre a jelentés állománya";
    const QFileInfo target(m_path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        fail(notCreated, std::make_error_code(std::errc::no_such_file_or_directory));
    // A folder under the report's name cannot be replaced; a link there can, and is.
    if (target.isDir() && !target.isSymLink())
        fail(notCreated, std::make_error_code(std::errc::is_a_directory));

    removeStaleTemporaries(folder, QDateTime::currentDateTimeUtc().addSecs(-staleAfterSeconds));

    for (int attempt = 0;; ++attempt) {
        m_file.setFileName(m_path + QLatin1String(temporaryMark) + randomPart());
        errno = 0;
        // NewOnly: never an existing file, nor whatever a link there points to.
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                        ownerAndGroup))
            break;
        const std::error_code cause = lastError(m_file, errno);
        if (cause != std::errc::file_exists || attempt >= 20) {
            m_file.setFileName(QString());
            fail(notCreated, cause);
        }
    }
    // The umask may have taken the group's rights away; the department's group needs them.
    m_file.setPermissions(ownerAndGroup);
    m_writeError.clear();
    QIODevice::open(QIODevice::WriteOnly);
}

qint64 ReportSaveFile::readData(char * /*data*/, qint64 /*maxSize*/)
{
    return -1;
}

qint64 ReportSaveFile::writeData(const char *data, qint64 size)
{
    if (m_writeError)
        return -1;
    errno = 0;
    const qint64 written = m_file.write(data, size);
    if (written != size) {
        m_writeError = lastError(m_file, errno);
        setErrorString(report::failureReason(m_writeError));
        return -1;
    }
    return written;
}

void ReportSaveFile::commit()
{
    constexpr auto notSaved = "Nem sikerült elmenteni a jelentés állományát";
    if (m_writeError)
        fail(notSaved, m_writeError);
    if (const std::error_code synced = report::filesync::syncFile(m_file))
        fail(notSaved, synced);
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        fail(notSaved, lastError(m_file, 0));

    // rename(2) replaces the name itself: a link standing there goes, its target stays.
    std::error_code renamed;
    std::filesystem::rename(fsPath(m_file.fileName()), fsPath(m_path), renamed);
    if (renamed)
        fail(notSaved, renamed);
    m_committed = true;
    m_file.setFileName(QString());
    close();
    if (const std::error_code synced
        = report::filesync::syncFolder(QFileInfo(m_path).absolutePath()))
        throw db::Error(QStringLiteral("%1: %2 (%3)")
                            .arg(QString::fromUtf8(notSaved), QDir::toNativeSeparators(m_path),
                                 report::failureReason(synced)));
}
