#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The program-wide font, its colour and the text background colour. The main window owns them
// (it fills them from the settings, the font dialog and the colour dialog); every window
// applies them each time it is shown.
struct TAussehen {
    QFont Schrift;
    QColor SchriftFarbe;
    QColor Hintergrund;
};

// The one instance of the program; until the main window fills it, the application's font,
// the palette's text colour and white.
TAussehen &ProgrammAussehen();

// What buttons take of the font: most windows give them name and size only; a few dialogs
// also the style.
enum class TKnopfSchrift { NameUndGroesse, NameGroesseUndStil };

// SchriftartZuweisen by control kind, for every control of the window `fenster` (not of other
// windows it owns): labels, edits, memos, list and tree views, check boxes, combo boxes and the
// status bar get the background colour (palette Base) and the font with its colour (palette
// Text); buttons get only the font as `knoepfe` says. Other controls stay as they are.
void SchriftartAnwenden(QWidget *fenster, const TAussehen &aussehen = ProgrammAussehen(),
                        TKnopfSchrift knoepfe = TKnopfSchrift::NameUndGroesse);
