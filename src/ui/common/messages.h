#pragma once

#include "cutting/cutreporter.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// One message box as the user would see it.
struct TMeldung {
    QString Titel;
    QString Text;
    TMeldungArt Art;
    TMeldungKnoepfe Knoepfe;
    QStringList KnopfTexte; // in the box's order, with their accelerators
};

// The modal message box of every window: its exact German text, titled "Information", "Fehler"
// or "Bestätigen" with the matching icon, buttons "OK", "&Ja" "&Nein", or "&Ja" "&Nein"
// "Abbrechen"; the first is the default, Escape gives "Abbrechen", else "Nein", else "OK".
// Owned by `fenster`, or the active window when none is given. Returns the button pressed.
TMeldungAntwort MeldungZeigen(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe = TMeldungKnoepfe::Ok,
                              QWidget *fenster = nullptr);

// While set, MeldungZeigen shows nothing and asks this instead (tests answer with it).
// Returns the previous one.
using TMeldungsAntworter = std::function<TMeldungAntwort(const TMeldung &)>;
TMeldungsAntworter MeldungsAntworterSetzen(TMeldungsAntworter antworter);
