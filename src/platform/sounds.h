#pragma once

// The desktop's event sounds; both return at once and never raise.

// What sounds when the desktop's sound theme cannot: the program sets the windows' beep here,
// so this layer needs no widgets. Without one nothing sounds.
void PiepErsatzSetzen(void (*piep)());

// The default beep ("bell"); always true.
bool Piepsen();
// The error sound ("dialog-error"); true when it could be started.
bool FehlerTon();
