#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A home folder of its own for the test's lifetime, so that a save dialog's remembered folder
// and the Documents folder it suggests are never the real user's: HOME, the XDG folders and
// QSettings' user scope all point into it, and are put back afterwards.
class IsolatedUser
{
public:
    IsolatedUser();
    ~IsolatedUser();
    IsolatedUser(const IsolatedUser &) = delete;
    IsolatedUser &operator=(const IsolatedUser &) = delete;

    QString home() const { return m_home.path(); }
    // Makes ~/Documents (the folder that the desktop's user folders name, if any).
    QString makeDocuments() const;

private:
    QTemporaryDir m_home;
    QByteArray m_earlierHome;
    QByteArray m_earlierConfig;
};

} // namespace testsupport
