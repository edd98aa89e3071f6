#pragma once

#include <QString>

class QWidget;

namespace testsupport {

// Types text into a widget key by key, Hungarian letters included (QTest::keyClicks
// asserts on anything outside ASCII).
void typeText(QWidget *widget, const QString &text);

// Finds a child by objectName or fails the test (QVERIFY-like, via qFatal with the name).
template<class T>
T *child(QObject *parent, const QString &objectName);

} // namespace testsupport

#include <QObject>
#include <QtGlobal>

template<class T>
T *testsupport::child(QObject *parent, const QString &objectName)
{
    T *found = parent->findChild<T *>(objectName);
    if (!found)
        qFatal("No child named %s", qPrintable(objectName));
    return found;
}
