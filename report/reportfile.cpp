#include "reportfile.h"

#include "adoxml.h"

#include "dataset/dataset.h"
#include "db/error.h"
#include "files/safesave.h"

#include <QDir>
#include <QFileInfo>

namespace report {

namespace {

// The shown texts break the line with a line feed followed by a carriage return.
QString lineBreak()
{
    return QStringLiteral("\n\r");
}

// Characters that break a file name on one platform or another.
constexpr auto forbiddenInName = u"/\\:*?\"<>|";

} // namespace

QString PadLeft(const QString &text, quint8 minLength, QChar pad)
{
    if (text.size() >= minLength)
        return text;
    return QString(minLength - text.size(), pad) + text;
}

QString DateToYYYYMMDD(const QDate &date)
{
    const QChar zero = QLatin1Char('0');
    return PadLeft(QString::number(date.year()), 4, zero)
           + PadLeft(QString::number(date.month()), 2, zero)
           + PadLeft(QString::number(date.day()), 2, zero);
}

QString reportDirectory(const QString &programDir)
{
    QString dir = QDir::fromNativeSeparators(programDir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QLatin1String(folderName) + QLatin1Char('/');
}

QString financingCodeProblem(const QString &financingCode)
{
    if (financingCode.isEmpty())
        return QStringLiteral("Az osztály finanszírozási kódja üres, így nem adhat nevet a "
                              "jelentés állományának.");
    for (const QChar c : financingCode) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Az osztály finanszírozási kódjában vezérlőkarakter áll, amely "
                                  "állománynévben nem szerepelhet.");
        if (QStringView(forbiddenInName).contains(c))
            return QStringLiteral("Az osztály finanszírozási kódjában („%1”) olyan jel áll („%2”), "
                                  "amely állománynévben nem szerepelhet.")
                .arg(financingCode, QString(c));
    }
    const QChar last = financingCode.back();
    if (last == QLatin1Char('.') || last.isSpace())
        return QStringLiteral("Az osztály finanszírozási kódja („%1”) ponttal vagy szóközzel "
                              "végződik, így nem adhat nevet a jelentés állományának.")
            .arg(financingCode);
    return {};
}

QString reportFilePath(const QString &reportDir, const QString &financingCode, const QDate &day)
{
    const QString problem = financingCodeProblem(financingCode);
    if (!problem.isEmpty())
        throw db::Error(problem);
    return reportDir + financingCode + QLatin1Char('_') + DateToYYYYMMDD(day)
           + QStringLiteral(".xml");
}

void saveReport(const QString &path, db::Statement &rows)
{
    files::SaveOptions options;
    // The department's group shares the reports; nobody else may read them.
    options.permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::WriteGroup;
    options.removeStaleTemporaries = true;
    options.notCreated = QStringLiteral("Nem hozható létre a jelentés állománya: %1 (%2)");
    options.notSaved = QStringLiteral("Nem sikerült elmenteni a jelentés állományát: %1 (%2)");
    files::SafeSave file(path, options);
    file.start();
    writeAdoXml(file, rows);
    file.commit();
}

QString noRowsMessage()
{
    return QStringLiteral("Nincs egyik listán sem listatag!");
}

QString successMessage(const QString &path)
{
    return QStringLiteral("A jelentés elkészült. Az elkészített állomány: ") + lineBreak()
           + QDir::toNativeSeparators(path);
}

QString failureMessage(const QString &reportDir, const QString &errorMessage)
{
    return QStringLiteral("Hiba a jelentés elkészítése közben, talán a ")
           + QDir::toNativeSeparators(reportDir)
           + QStringLiteral(" könyvtár nem létezik, vagy nem írható") + lineBreak() + errorMessage;
}

} // namespace report
