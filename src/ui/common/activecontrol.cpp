#include "ui/common/activecontrol.h"

#include "ui/common/fieldnames.h"

#include <QWidget>

void SetActiveControl(QWidget *merkActiveControl)
{
    if (!merkActiveControl)
        return;
    if (QWidget *aktiv = merkActiveControl->window()->focusWidget())
        aktiv->clearFocus();
    FeldNameErneutSprechen(merkActiveControl);
    if (merkActiveControl->isVisible() && merkActiveControl->isEnabled() &&
        merkActiveControl->focusPolicy() != Qt::NoFocus)
        merkActiveControl->setFocus(Qt::OtherFocusReason);
}
