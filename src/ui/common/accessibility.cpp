#include "ui/common/accessibility.h"

#include "ui/common/lineeditaccess.h"

#include <QAccessible>
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
        return true;
    }();
    Q_UNUSED(eingerichtet);
}
