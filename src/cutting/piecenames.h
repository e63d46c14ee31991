#pragma once

#include <QString>

// Path of output piece `Nr` of a split of `oriFilename`: the path without its extension, "_",
// the number with at least four digits, the extension. "/m/Kapitel.mp3", 12 ->
// "/m/Kapitel_0012.mp3".
QString NeueDatei(const QString &oriFilename, int Nr);

// Lets the owner write `name` again when it exists (an output of that name is overwritten).
void DateiattributeLoeschen(const QString &name);
