#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace testsupport {

// Types text into a widget key by key, Hungarian letters included (QTest::keyClicks
// asserts on anything outside ASCII).
void typeText(QWidget *widget, const QString &text);

// Finds a child by objectName; a missing one ends the test run with its name.
template<class T> T *child(QObject *parent, const QString &objectName)
{
    T *found = parent->findChild<T *>(objectName);
    if (!found)
        qFatal("No child named %s", qPrintable(objectName));
    return found;
}

} // namespace testsupport
