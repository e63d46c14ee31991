#include "controls.h"

#include <QTest>

QWidget *findControl(QWidget *root, const QString &name)
{
    auto *w = root->findChild<QWidget *>(name);
    EXPECT_NE(w, nullptr) << "no control " << name.toStdString();
    return w;
}

QString accessibleName(QObject *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QAccessible::Role accessibleRole(QObject *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    return iface ? iface->role() : QAccessible::NoRole;
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}
