#pragma once

#include "cutting/filesearch.h"
#include "cutting/savetarget.h"

#include <QString>

class TCutReporter;

// Writes the audio of every file of `Liste` (without its ID3v2 and ID3v1 tag), in list order,
// into `Filename`. An existing target is extended: its bytes up to its ID3v1 tag stay, the
// audio follows, and the tag moves to the new end. Problems are reported through
// `report.Meldung` with their German texts; an input that cannot be opened is skipped.
// Pending window messages are handled after every block copied, so the caller must not let
// its commands start a second write meanwhile.
// Returns true when the file was written to its end.
bool Mp3ErstellenOk(const TDateiliste &Liste, const QString &Filename, TCutReporter &report);

// The order dialog's save after its file dialog: asks about an existing file, joins, and
// reports success or failure. An input is never deleted to make room for the target.
TSpeichernErgebnis DateienSpeichern(const TDateiliste &Liste, const QString &datei, TCutReporter &report);
