#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <initializer_list>

class QPushButton;
class QWidget;

// The kinds of control whose height SchriftHoehe knows; every other kind measures as a label.
enum class TSchalterArt { Label, Edit, Button, StatusBar, CheckBox };

// Height of a label with the font and the caption "M", sized to its text, plus 8 for an edit,
// 12 for a button, 6 for a status bar and 8 for a check box.
int SchriftHoehe(const QFont &font, TSchalterArt art = TSchalterArt::Label);

// Width of such a label with the caption text followed by one blank ("&" marks an accelerator
// and takes no room, as on the labels of the windows).
int TextBreite(const QFont &font, const QString &text);

// Top of a control of height `eigeneHoehe` centred on one at `andereOben` of `andereHoehe`.
int MittigOben(int andereOben, int andereHoehe, int eigeneHoehe);
// Moves `schalter` vertically onto the middle of `anderer`.
void AufMitteSetzen(QWidget *schalter, const QWidget *anderer);

// Left and top of a dialog of size `fenster` centred on a screen of size `bildschirm`, one
// pixel up and left, never left of or above the screen's origin.
QPoint DialogPosition(const QSize &bildschirm, const QSize &fenster);

// The whole screen and its work area (without panels) the window is on.
QRect Bildschirm(const QWidget *fenster);
QRect Arbeitsbereich(const QWidget *fenster);

// FensterEinrichten of a dialog: DialogPosition on its screen.
void DialogZentrieren(QWidget *dialog);

// Width of the buttons of a window: 125 pixels, wider where a large font needs more for one of
// the captions.
int KnopfBreite(std::initializer_list<const QPushButton *> knoepfe);
