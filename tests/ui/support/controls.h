#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

// The control of that objectName below `root`; fails the test when there is none.
QWidget *findControl(QWidget *root, const QString &name);
template <class T> T *findControl(QWidget *root, const QString &name)
{
    auto *w = qobject_cast<T *>(findControl(root, name));
    EXPECT_NE(w, nullptr) << name.toStdString() << " is not of the expected class";
    return w;
}

// What a screen reader learns of the control through Qt's accessibility interface.
QString accessibleName(QObject *control);
QAccessible::Role accessibleRole(QObject *control);

// Shows the window and waits until it is the active window, so focus changes reach its controls.
bool showActive(QWidget *window);
