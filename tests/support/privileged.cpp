#include "privileged.h"

#include <QFile>
#include <QProcess>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {
QString run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        *exitCode = -1;
        return process.errorString();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}
} // namespace

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

TmpfsMount::TmpfsMount(const QString &folder, qint64 bytes, const QString &options)
    : m_folder(folder)
{
    QString all = QStringLiteral("size=%1,mode=0777").arg(bytes);
    if (!options.isEmpty())
        all += u',' + options;
    int code = 0;
    m_error = run(QStringLiteral("mount"),
                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), all,
                   QStringLiteral("tmpfs"), folder},
                  &code);
    m_mounted = code == 0;
}

TmpfsMount::~TmpfsMount()
{
    if (!m_mounted)
        return;
    int code = 0;
    run(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder}, &code);
}

bool TmpfsMount::remount(bool readOnly)
{
    int code = 0;
    m_error
        = run(QStringLiteral("mount"),
              {QStringLiteral("-o"),
               readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"), m_folder},
              &code);
    return code == 0;
}

QString fillDisk(const QString &folder, qint64 leave)
{
    QString path = folder + QStringLiteral("/toltelek.bin");
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {};
    const QByteArray block(4096, 'x');
    QStorageInfo storage(folder);
    for (;;) {
        storage.refresh();
        const qint64 free = storage.bytesAvailable();
        if (free <= leave)
            break;
        const qint64 piece = qMin<qint64>(block.size(), free - leave);
        if (filler.write(block.constData(), piece) != piece)
            break;
    }
    return path;
}

ScopedUmask::ScopedUmask(unsigned mask)
    : m_earlier(::umask(mode_t(mask)))
{
}

ScopedUmask::~ScopedUmask()
{
    ::umask(mode_t(m_earlier));
}

int runAsNobody(const QString &program, const QStringList &arguments, QString *output)
{
    int code = 0;
    const QString text
        = run(QStringLiteral("setpriv"),
              QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                          QStringLiteral("--clear-groups"), program}
                  + arguments,
              &code);
    if (output)
        *output += text;
    return code;
}

} // namespace testsupport
