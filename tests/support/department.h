#pragma once

#include "tempdatabase.h"

#include "ui/mainstate.h"

#include <QDate>
#include <QString>
#include <QWidget>

namespace testsupport {

// The run state over a fresh database in a temporary program folder. Built with a type, it is a
// department that has passed its login, as the main window leaves it after start-up; built for
// the first start, the file is connected with no department row and nobody logged in.
struct Department
{
    struct FirstStart
    {
    };
    static constexpr FirstStart firstStart{};

    explicit Department(FirstStart);
    explicit Department(const QString &type = QStringLiteral("F"));

    qint64 entry(qint64 list, const QString &taj, QDate listara = QDate(2026, 3, 7),
                 const QString &esemKod = QStringLiteral("VAR"),
                 const QString &nev = QStringLiteral("Kiss Ödön"),
                 const QString &surgosseg = QStringLiteral("H"));

    TempProgramDir dir{db::schema::Contents::WithSampleLists};
    QWidget mainWidget;
    ui::MainState state;
};

} // namespace testsupport
