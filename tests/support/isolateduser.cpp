#include "isolateduser.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace testsupport {

IsolatedUser::IsolatedUser()
    : m_earlierHome(qgetenv("HOME"))
    , m_earlierConfig(qgetenv("XDG_CONFIG_HOME"))
{
    const QString config = m_home.filePath(QStringLiteral(".config"));
    QDir().mkpath(config);
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
}

IsolatedUser::~IsolatedUser()
{
    qputenv("HOME", m_earlierHome);
    if (m_earlierConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_earlierConfig);
}

QString IsolatedUser::makeDocuments() const
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return documents;
}

} // namespace testsupport
