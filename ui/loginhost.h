#pragma once

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace ui {

// What the registration and the login reach before access is granted: the department row they
// read and the connection the registration writes through. Every other way to the data refuses
// until one of them has granted access.
class LoginHost
{
public:
    virtual ~LoginHost() = default;

    // OSZTALY's one row (atOsztaly), whether or not access was granted.
    virtual db::Dataset &departmentRow() = 0;
    // The connection as it is, whether or not access was granted: the registration writes the
    // row that grants it.
    virtual db::Connection &connection() = 0;
};

} // namespace ui
