#include "ui/common/apptitle.h"

#include <QCoreApplication>
#include <QVariant>

// Kept as an application property: QGuiApplication's display name would be appended to
// every window caption, which must stay exactly as the program sets it.
QString AnwendungsTitel()
{
    return qApp ? qApp->property("zindaraTitle").toString() : QString();
}

void AnwendungsTitelSetzen(const QString &title)
{
    if (qApp)
        qApp->setProperty("zindaraTitle", title);
}
