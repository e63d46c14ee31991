#pragma once

#include <QString>

class QLabel;
class QWidget;
class TScreenReaderOutput;

// The screen reader output the windows speak through. The main window sets the one it owns;
// tests set one that records. Returns the previous one.
TScreenReaderOutput *SprachausgabeSetzen(TScreenReaderOutput *ausgabe);
TScreenReaderOutput *Sprachausgabe();

// Hands the text to the screen reader output, queued behind speech in progress.
bool Vorlesen(const QString &text);

// The field in a dialog: `label` becomes its buddy (its accelerator focuses the field); the
// caption without "&" becomes the field's accessible name and is spoken when the field receives
// the focus. Call again after changing the caption.
void FeldBeschriften(QLabel *label, QWidget *feld);

// A fixed name instead, as the main window gives its fields.
void FeldNameSetzen(QWidget *feld, const QString &name);

// The next focus the field receives speaks its name, even when it comes back with its window
// (SetActiveControl uses this after a dialog).
void FeldNameErneutSprechen(QWidget *feld);
