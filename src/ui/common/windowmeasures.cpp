#include "ui/common/windowmeasures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// The label has a buddy, as the windows' labels do, so "&" is shown as an underline.
QSize LabelGroesse(const QFont &font, const QString &caption)
{
    QWidget halter;
    auto *label = new QLabel(caption, &halter);
    label->setBuddy(&halter);
    label->setFont(font);
    label->adjustSize();
    return label->size();
}

} // namespace

int SchriftHoehe(const QFont &font, TSchalterArt art)
{
    int zusatz = 0;
    switch (art) {
    case TSchalterArt::Edit:
    case TSchalterArt::CheckBox:
        zusatz = 8;
        break;
    case TSchalterArt::Button:
        zusatz = 12;
        break;
    case TSchalterArt::StatusBar:
        zusatz = 6;
        break;
    case TSchalterArt::Label:
        break;
    }
    return LabelGroesse(font, QStringLiteral("M")).height() + zusatz;
}

int TextBreite(const QFont &font, const QString &text)
{
    return LabelGroesse(font, text + QLatin1Char(' ')).width();
}

int MittigOben(int andereOben, int andereHoehe, int eigeneHoehe)
{
    return andereOben + (andereHoehe - eigeneHoehe) / 2;
}

void AufMitteSetzen(QWidget *schalter, const QWidget *anderer)
{
    schalter->move(schalter->x(), MittigOben(anderer->y(), anderer->height(), schalter->height()));
}

QPoint DialogPosition(const QSize &bildschirm, const QSize &fenster)
{
    // C++ division cuts toward zero, as "div" does.
    return {std::max(0, (bildschirm.width() - fenster.width()) / 2 - 1),
            std::max(0, (bildschirm.height() - fenster.height()) / 2 - 1)};
}

namespace {

QScreen *BildschirmVon(const QWidget *fenster)
{
    QScreen *screen = fenster ? fenster->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

QRect Bildschirm(const QWidget *fenster)
{
    QScreen *screen = BildschirmVon(fenster);
    return screen ? screen->geometry() : QRect();
}

QRect Arbeitsbereich(const QWidget *fenster)
{
    QScreen *screen = BildschirmVon(fenster);
    return screen ? screen->availableGeometry() : QRect();
}

void DialogZentrieren(QWidget *dialog)
{
    const QRect screen = Bildschirm(dialog);
    dialog->move(screen.topLeft() + DialogPosition(screen.size(), dialog->frameGeometry().size()));
}

int KnopfBreite(std::initializer_list<const QPushButton *> knoepfe)
{
    int breite = 125;
    for (const QPushButton *b : knoepfe) {
        QString text = b->text();
        text.remove(QLatin1Char('&'));
        breite = std::max(breite, TextBreite(b->font(), text + QStringLiteral("MM")));
    }
    return breite;
}
