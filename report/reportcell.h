#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace report {

// One value of a report row as the database hands it over, without copying it: the text's
// UTF-8 bytes stay where the statement keeps them until the next step.
struct ReportCell
{
    enum class Kind { Null, Integer, Text, Date };
    Kind kind = Kind::Null;
    qint64 integer = 0;  // Integer
    QByteArrayView utf8; // Text; Date: stored ISO text, YYYY-MM-DD with [ T]HH:MM:SS or not
};

} // namespace report
