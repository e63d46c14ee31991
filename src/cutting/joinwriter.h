#pragma once

#include "cutting/filesearch.h"
#include "cutting/savetarget.h"

#include <QString>

class TCutReporter;

// Writes the audio of every file of `Liste` (without its ID3v2 and ID3v1 tag), in list order,
// into `Filename`. An existing target is extended: its bytes up to its ID3v1 tag stay, the
// audio follows, and the tag moves to the new end. The target changes as a whole or not at all
// (see TZielDatei); only regular files are read and written. Problems are reported through
// `report.Meldung` with their German texts; an input that cannot be opened is skipped, and
// when none can, nothing is written.
// Pending window messages are handled after every block copied, so the caller must not let
// its commands start a second write meanwhile.
// With `mitKopf` a result that starts with the inputs gets one header frame for all of it when
// an input had one or their bit rates differ, and the inputs' own header frames stay out;
// without it the inputs' bytes are copied as they are.
// Returns true when the file was written to its end.
bool Mp3ErstellenOk(const TDateiliste &Liste, const QString &Filename, TCutReporter &report, bool mitKopf = false);

// The order dialog's save after its file dialog: asks about an existing file, joins, and
// reports success or failure, saying when an existing file stayed as it was. An input is never
// overwritten by the target.
TSpeichernErgebnis DateienSpeichern(const TDateiliste &Liste, const QString &datei, TCutReporter &report,
                                    bool mitKopf = false);
