#pragma once

#include <QList>
#include <QtGlobal>

namespace db {
class Connection;
}

// Fills a database with realistic list entries for trying the program and measuring it.
namespace tools {

constexpr int minimumEntryCount = 10;
constexpr int maximumEntryCount = 1000000;

struct GeneratorOptions
{
    // The lists to fill; empty means every waiting list and patient-admission list (the sample
    // lists, written first, when the file has none yet), or list 0 alone for an outpatient
    // department.
    QList<qint64> lists;
    quint32 seed = 1;
    // The department row made when OSZTALY is empty is an outpatient one ("J").
    bool outpatient = false;
};

// Adds count entries (Hungarian names, TAJ numbers with a correct check digit, days over the
// past five years, mostly waiting events), a LOG row for every changed event column, and a
// department row when there is none: one write transaction, bound statements, ISO days.
// The same seed on the same file gives the same rows. Throws db::Error.
void generate(db::Connection &connection, int count, const GeneratorOptions &options);

} // namespace tools
