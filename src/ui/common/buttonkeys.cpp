#include "ui/common/buttonkeys.h"

#include <QPushButton>

void KnopfTastenEinrichten(QWidget *fenster)
{
    // An auto-default button presses on Enter while it has the focus and meanwhile stands in
    // for the dialog's default button; Qt's dialogs give Escape to their cancel.
    for (QPushButton *knopf : fenster->findChildren<QPushButton *>()) {
        if (knopf->window() == fenster->window())
            knopf->setAutoDefault(true);
    }
}
