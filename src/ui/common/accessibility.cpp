#include "ui/common/accessibility.h"

#include "ui/common/lineeditaccess.h"
#include "ui/common/rowannouncer.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>

namespace {

QAccessibleInterface *Zugang(const QString &klasse, QObject *objekt)
{
    if (klasse == QLatin1String("QLineEdit"))
        if (auto *feld = qobject_cast<QLineEdit *>(objekt))
            return new TZeilenFeldZugang(feld);
    return nullptr;
}

} // namespace

void ZugangEinrichten()
{
    static const bool eingerichtet = [] {
        QAccessible::installFactory(Zugang);
        qApp->installEventFilter(new TZeilenAnsager(qApp));
        return true;
    }();
    Q_UNUSED(eingerichtet);
}
