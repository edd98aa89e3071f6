#pragma once

namespace db {
class Dataset;
} // namespace db

namespace ui {

// What the registration and the login reach before access is granted: the department row they
// read and the query the registration writes through. Every other way to the data refuses until
// one of them has granted access.
class LoginHost
{
public:
    virtual ~LoginHost() = default;

    // OSZTALY's one row (atOsztaly), whether or not access was granted.
    virtual db::Dataset &departmentRow() = 0;
    // The general query (aqAlt), whether or not access was granted.
    virtual db::Dataset &registrationQuery() = 0;
};

} // namespace ui
