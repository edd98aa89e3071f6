#include "safesave.h"

#include "failurereason.h"
#include "filesync.h"

#include "db/error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <filesystem>

namespace files {

namespace {

constexpr auto temporaryMark = ".keszul-";
constexpr int randomLength = 6;
// Files are made in seconds; a temporary file untouched this long was left by a crash.
constexpr qint64 staleAfterSeconds = qint64(10) * 60;
// Bytes gathered before they go to the system: few calls for a writer of many small pieces.
constexpr qsizetype chunkBytes = qsizetype(64) * 1024;

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

QRegularExpression temporaryPattern(const QString &ending)
{
    return QRegularExpression(QStringLiteral("^.+%1\\.keszul-[A-Za-z0-9]{%2}$")
                                  .arg(QRegularExpression::escape(ending))
                                  .arg(randomLength));
}

} // namespace

SafeSave::SafeSave(const QString &path, SaveOptions options)
    : m_path(path)
    , m_options(std::move(options))
{
}

SafeSave::~SafeSave()
{
    if (!m_committed)
        discard();
}

bool SafeSave::isTemporaryName(const QString &fileName)
{
    static const QRegularExpression pattern = temporaryPattern(QString());
    return pattern.match(fileName).hasMatch();
}

int SafeSave::removeStaleTemporaries(const QString &folder, const QString &ending,
                                     const QDateTime &writtenBefore)
{
    const QRegularExpression pattern = temporaryPattern(ending);
    int removed = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // Links are never the program's own; other names belong to someone else.
        if (info.isSymLink() || !info.isFile() || !pattern.match(info.fileName()).hasMatch())
            continue;
        if (info.lastModified() < writtenBefore && QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

void SafeSave::fail(const QString &pattern, std::error_code cause)
{
    discard();
    throw db::Error(pattern.arg(QDir::toNativeSeparators(m_path), failureReason(cause)));
}

void SafeSave::discard()
{
    m_pending.clear();
    if (isOpen())
        close();
    if (m_file.fileName().isEmpty())
        return;
    m_file.close();
    QFile::remove(m_file.fileName());
    m_file.setFileName(QString());
}

void SafeSave::createTemporary()
{
    const QFileInfo target(m_path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        fail(m_options.notCreated, std::make_error_code(std::errc::no_such_file_or_directory));
    // A folder under the name cannot be replaced; a link there can, and is.
    if (target.isDir() && !target.isSymLink())
        fail(m_options.notCreated, std::make_error_code(std::errc::is_a_directory));
    QFileDevice::Permissions rights = m_options.permissions;
    if (rights == QFileDevice::Permissions() && target.isFile() && !target.isSymLink())
        rights = target.permissions();

    if (m_options.removeStaleTemporaries) {
        const QString ending = target.suffix().isEmpty() ? QString() : u'.' + target.suffix();
        removeStaleTemporaries(folder, ending,
                               QDateTime::currentDateTimeUtc().addSecs(-staleAfterSeconds));
    }

    for (int attempt = 0;; ++attempt) {
        m_file.setFileName(m_path + QLatin1String(temporaryMark) + randomPart());
        errno = 0;
        // NewOnly: never an existing file, nor whatever a link there points to.
        const QIODevice::OpenMode mode
            = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
        if (rights == QFileDevice::Permissions() ? m_file.open(mode) : m_file.open(mode, rights))
            break;
        const std::error_code cause = lastError(m_file, errno);
        if (cause != std::errc::file_exists || attempt >= 20) {
            m_file.setFileName(QString());
            fail(m_options.notCreated, cause);
        }
    }
    // The umask may have taken rights away that the file is meant to have (the department's
    // group, or what the earlier file had).
    if (rights != QFileDevice::Permissions())
        m_file.setPermissions(rights);
    m_writeError.clear();
    m_pending.clear();
}

void SafeSave::start()
{
    createTemporary();
    QIODevice::open(QIODevice::WriteOnly);
}

void SafeSave::startForOtherWriter()
{
    createTemporary();
    m_file.close();
}

qint64 SafeSave::readData(char * /*data*/, qint64 /*maxSize*/)
{
    return -1;
}

qint64 SafeSave::writeData(const char *data, qint64 size)
{
    if (m_writeError || !m_file.isOpen())
        return -1;
    m_pending.append(data, qsizetype(size));
    if (m_pending.size() >= chunkBytes && !flushPending())
        return -1;
    return size;
}

bool SafeSave::flushPending()
{
    qsizetype done = 0;
    while (done < m_pending.size()) {
        errno = 0;
        const qint64 written = m_file.write(m_pending.constData() + done, m_pending.size() - done);
        if (written <= 0) {
            m_writeError = lastError(m_file, errno);
            setErrorString(failureReason(m_writeError));
            m_pending.clear();
            return false;
        }
        done += qsizetype(written);
    }
    m_pending.clear();
    return true;
}

void SafeSave::commit()
{
    const QString &notSaved = m_options.notSaved;
    if (m_file.fileName().isEmpty())
        fail(notSaved, std::make_error_code(std::errc::bad_file_descriptor));
    if (!m_writeError && m_file.isOpen())
        flushPending();
    if (m_writeError)
        fail(notSaved, m_writeError);
    // What another writer wrote is synced through a handle of our own.
    if (!m_file.isOpen()) {
        errno = 0;
        if (!m_file.open(QIODevice::ReadOnly))
            fail(notSaved, lastError(m_file, errno));
    }
    if (const std::error_code synced = filesync::syncFile(m_file))
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
    if (isOpen())
        close();
    if (const std::error_code synced = filesync::syncFolder(QFileInfo(m_path).absolutePath()))
        throw db::Error(notSaved.arg(QDir::toNativeSeparators(m_path), failureReason(synced)));
}

void saveWhole(const QString &path, const QByteArray &content, const SaveOptions &options)
{
    SafeSave file(path, options);
    file.start();
    file.write(content);
    file.commit();
}

} // namespace files
