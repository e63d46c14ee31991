#include "ui/main/gehemarkeform.h"

#include "support/formatting.h"
#include "ui/common/appearance.h"
#include "ui/common/windowmeasures.h"

#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

TGeheMarkeForm::TGeheMarkeForm(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("GeheMarkeForm"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Marken"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Button1 = new QPushButton(QStringLiteral("O&K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Abbrechen"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // A double click chooses the mark, as Enter does.
    connect(ListBox1, &QListWidget::itemActivated, this, [this] {
        if (Button1->isEnabled())
            accept();
    });
}

QString TGeheMarkeForm::MarkenZeile(int nr, int anzahl, const QString &marke)
{
    const int stellen = QString::number(anzahl).size();
    return QStringLiteral("%1.: %2").arg(nr, stellen, 10, QLatin1Char('0')).arg(ZeitText(marke.toLongLong(), 3));
}

void TGeheMarkeForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        ListBox1->clear();
        TDialogBasis::showEvent(event);
        for (int i = 0; i < Marken.size(); ++i)
            ListBox1->addItem(MarkenZeile(i + 1, Marken.size(), Marken[i]));
        if (ListBox1->count() > 0)
            ListBox1->setCurrentRow(0);
        Button1->setEnabled(ListBox1->count() > 0);
        ListBox1->setFocus();
        return;
    }
    TDialogBasis::showEvent(event);
}

qint64 TGeheMarkeForm::GetMarkePosition() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    if (!item)
        return 0;
    return ZeitTextMs(item->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).value(1));
}

void TGeheMarkeForm::SchalterEinrichten()
{
    const QRect bildschirm = Bildschirm(this);
    const int knopfHoehe = SchriftHoehe(ProgrammAussehen().Schrift, TSchalterArt::Button);
    const int hoehe = bildschirm.height() - 50;
    const int knopfOben = hoehe - knopfHoehe - 10;
    const int knopfBreite = KnopfBreite({Button1, Button2});
    Button1->setGeometry(10, knopfOben, knopfBreite, knopfHoehe);
    Button2->setGeometry(Button1->x() + 2 * knopfBreite, knopfOben, knopfBreite, knopfHoehe);
    const int breite = Button2->geometry().right() + 1 + Button1->x();
    ListBox1->setGeometry(10, 10, breite - 2 * 10, knopfOben - 2 * 10);
    setFixedSize(breite, hoehe);
}
