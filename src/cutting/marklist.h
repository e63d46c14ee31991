#pragma once

#include "cutting/cutreporter.h"

#include <QStringList>

// The mark list holds playback positions in milliseconds as plain decimal texts, ascending,
// no two within 10 ms of each other, none at the start or the end.

// Minimal distance between two marks in milliseconds.
constexpr int MarkenAbstand = 10;

// Puts a mark at `position` of a file `laenge` ms long into `marken`, or refuses it. Either way
// the outcome is told as an information message; true when the mark was set.
bool MarkeSetzen(QStringList &marken, qint64 position, qint64 laenge, TCutReporter &reporter);

// Converts every entry in place: `StrPosS` true from milliseconds to time texts H:MM:SS,mmm,
// false back. Raises EConvertError on an entry that is neither.
void MarkenUmwandeln(QStringList &marken, bool StrPosS);
