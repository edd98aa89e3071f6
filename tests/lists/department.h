#pragma once

#include "tempdatabase.h"

#include "ui/mainstate.h"

#include <QDate>
#include <QStringList>
#include <QWidget>

class QAbstractItemView;

namespace testsupport {

// A department that has passed its login, over a fresh database in a temporary program
// folder: the run state as the main window leaves it after start-up.
struct Department
{
    explicit Department(const QString &type = QStringLiteral("F"));

    qint64 entry(int list, const QString &taj, QDate listara = QDate(2026, 3, 7),
                 const QString &esemKod = QStringLiteral("VAR"),
                 const QString &nev = QStringLiteral("Kiss Ödön"),
                 const QString &surgosseg = QStringLiteral("H"));

    TempProgramDir dir{db::schema::Contents::WithSampleLists};
    QWidget mainWidget;
    ui::MainState state;
};

// What a grid shows in the column with the given title, row by row.
QStringList gridColumn(const QAbstractItemView *grid, const QString &title);

} // namespace testsupport
