#include "ui/common/rowannouncer.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QEvent>
#include <QPointer>

namespace {

void AktuelleZeileMelden(QAbstractItemView *liste)
{
    const QModelIndex aktuell = liste->currentIndex();
    if (!aktuell.isValid() || !liste->hasFocus() || !liste->isActiveWindow() || !QAccessible::isActive())
        return;
    QAccessibleInterface *zugang = QAccessible::queryAccessibleInterface(liste);
    QAccessibleTableInterface *tabelle = zugang ? zugang->tableInterface() : nullptr;
    if (!tabelle)
        return;
    QAccessibleInterface *zelle = tabelle->cellAt(aktuell.row(), aktuell.column());
    const int kind = zelle ? zugang->indexOfChild(zelle) : -1;
    if (kind < 0)
        return;
    QAccessibleEvent event(liste, QAccessible::Focus);
    event.setChild(kind);
    QAccessible::updateAccessibility(&event);
}

} // namespace

TZeilenAnsager::TZeilenAnsager(QObject *parent) : QObject(parent) {}

bool TZeilenAnsager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *liste = qobject_cast<QAbstractItemView *>(watched)) {
            // After Qt's own report of the view, so the row is the last word.
            QPointer<QAbstractItemView> ziel(liste);
            QMetaObject::invokeMethod(
                this,
                [ziel] {
                    if (ziel)
                        AktuelleZeileMelden(ziel);
                },
                Qt::QueuedConnection);
        }
    }
    return false;
}
