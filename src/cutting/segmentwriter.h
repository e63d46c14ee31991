#pragma once

#include "cutting/savetarget.h"

#include <QString>
#include <QtGlobal>

class MarkRows;
class TCutReporter;

// Writes the byte ranges of `rows.TmpMarken`, taken from the working copy `rows.OriFilename`,
// one after another into `AFilename`. `TmpS`: the target is the editor's playback file, which
// is emptied first and must get at least 110 ms. Otherwise an existing target is extended:
// the new audio starts where its ID3v1 tag started. A target that is the working copy itself
// cannot be opened, as it is held open for reading.
// Returns true when every range was written; false when there was nothing to write, the
// selection was too short to play, or a file could not be opened, read or written (then the
// error sound has been given and the bytes written so far stay). `geschrieben`, when given,
// receives the number of bytes written.
bool Mp3ErstellenOk(const MarkRows &rows, const QString &AFilename, bool TmpS, TCutReporter &report,
                    qint64 *geschrieben = nullptr);

// The marks editor's save command before its file dialog: ranges of the ticked rows; false,
// with the message, when nothing is ticked.
bool SegmenteWaehlen(MarkRows &rows, TCutReporter &report);

// The same command after the file dialog: asks about an existing file, writes the ranges and
// reports a failure. The working copy itself is never overwritten nor appended to.
TSpeichernErgebnis SegmenteSpeichern(const MarkRows &rows, const QString &datei, TCutReporter &report);
