#pragma once

#include <QChar>
#include <QDate>
#include <QString>

namespace db {
class Statement;
}

// The daily report file: its folder and name, the texts that tell the outcome, and the save
// that replaces the day's earlier file only once the new one is complete.
namespace report {

constexpr auto folderName = "Jelentesek";

// The text padded in front with the pad character up to the minimum length; a longer text
// comes back unchanged, never cut.
QString PadLeft(const QString &text, quint8 minLength, QChar pad);

// The date as eight digits: year, month, day (20060307 for the 7th of March 2006).
QString DateToYYYYMMDD(const QDate &date);

// The program folder + "Jelentesek" + a separator ('/' inside; shown natively).
QString reportDirectory(const QString &programDir);

// Why the financing code cannot be put into a file name (Hungarian, for the person), or an
// empty text when it can.
QString financingCodeProblem(const QString &financingCode);

// The report folder + financing code + "_" + DateToYYYYMMDD(day) + ".xml". Throws db::Error
// with the reason when the code cannot be part of a file name.
QString reportFilePath(const QString &reportDir, const QString &financingCode, const QDate &day);

// Streams the rows of the report statement, standing on its first row, through the safe
// save: the file of that name is replaced only once every byte is on the disk, and
// no more than one row is held at a time. Throws db::Error naming the cause.
void saveReport(const QString &path, db::Statement &rows);

QString noRowsMessage();
QString successMessage(const QString &path);
QString failureMessage(const QString &reportDir, const QString &errorMessage);

} // namespace report
