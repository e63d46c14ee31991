#pragma once

// The program's own accessible interfaces where Qt's fall short of what a screen reader needs,
// installed once for every window (the main window and every dialog call it).
void ZugangEinrichten();
