#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {
class Connection;
}

namespace admin {

// vazuvede-admin statisztika: the statistics window's figures without a window, of one list
// or of the whole department (every kind's lists together), as text or as the window's CSV.
class StatisticsAdmin
{
public:
    // The command line after "statisztika": [--lista KÓD] [--csv], in any order.
    struct Request
    {
        std::optional<qint64> list;
        bool csv = false;
        QString error; // a Hungarian message for a bad command line
    };
    static Request parse(const QStringList &arguments);

    explicit StatisticsAdmin(db::Connection &connection);

    // Throws db::Error for a code that names no list.
    QString text(std::optional<qint64> list, const QDate &today);
    QByteArray csv(std::optional<qint64> list, const QDate &today);
    // The CSV as text, its byte order mark kept, for a text stream.
    QString csvText(std::optional<qint64> list, const QDate &today);

private:
    db::Connection &m_connection;
};

} // namespace admin
