#pragma once

#include <QString>

#include <optional>

namespace db {
class Connection;
}

namespace admin {

struct DepartmentRow
{
    QString intkod;
    QString finkod;
    QString type; // "J" or "F"
    QString name;
};

// What a correction changes; an absent value stays as it is.
struct DepartmentChange
{
    std::optional<QString> intkod;
    std::optional<QString> finkod;
    std::optional<QString> name;
    std::optional<QString> type; // jaro / fekvo (or J / F)
};

// The department's one row (OSZTALY; the program reads the first): its data corrected with
// the registration dialog's checks, and a new entry password for a forgotten one.
class DepartmentAdmin
{
public:
    explicit DepartmentAdmin(db::Connection &connection);

    // None while the department has not been registered.
    std::optional<DepartmentRow> department();
    void change(const DepartmentChange &change);
    void setPassword(const QString &password, const QString &again);

    static QString typeName(const QString &type);

private:
    db::Connection &m_connection;
};

} // namespace admin
