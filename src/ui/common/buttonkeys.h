#pragma once

class QWidget;

// Buttons as on every desktop, for every push button of the window `fenster`: Enter or Space
// on a focused button presses it, Escape cancels a dialog, and a dialog's default button
// answers Enter only while no other button has the focus. Every dialog and message box runs
// it when it shows; the main window for its own buttons.
void KnopfTastenEinrichten(QWidget *fenster);
