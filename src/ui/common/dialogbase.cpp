#include "ui/common/dialogbase.h"

#include "ui/common/accessibility.h"
#include "ui/common/appearance.h"
#include "ui/common/buttonkeys.h"
#include "ui/common/windowmeasures.h"

#include <QShowEvent>

TDialogBasis::TDialogBasis(QWidget *parent) : QDialog(parent)
{
    ZugangEinrichten();
}

void TDialogBasis::SchriftartZuweisen()
{
    SchriftartAnwenden(this);
}

void TDialogBasis::FensterEinrichten()
{
    DialogZentrieren(this);
}

void TDialogBasis::Einrichten()
{
    SchriftartZuweisen();
    SchalterEinrichten();
    FensterEinrichten();
    KnopfTastenEinrichten(this);
}

void TDialogBasis::showEvent(QShowEvent *event)
{
    // Spontaneous shows (restored from the task bar) keep the layout.
    if (!event->spontaneous())
        Einrichten();
    QDialog::showEvent(event);
}
