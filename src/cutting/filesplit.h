#pragma once

#include "cutting/splitter.h"

#include <QList>
#include <QString>
#include <functional>

// A split asked for from outside the main window: a mode with its number and overlap, or marks.
struct TTeilWunsch {
    int Modus = 0;            // TSplitModus
    qint64 Anzahl = 0;        // kilobytes, minutes or seconds in modes 1 to 3
    int VorspannSekunden = 0; // 0 .. 9, modes 1 to 3
    QList<qint64> MarkenMs;   // mode 4, in the order given
    // The byte-proportional cut of old instead of cuts at frame boundaries.
    bool ByteSchnitt = false;
};

// Playing time in milliseconds, as the player counts it, of the `anzahl` bytes from `anfang` on
// in a file; -1 when they hold no audio.
using TLaengeMessen = std::function<qint64(const QString &datei, qint64 anfang, qint64 anzahl)>;

// Splits the file `datei` into pieces beside it, as the main window would after opening it. The
// pieces are the very bytes a working copy would give, read straight from the file between its
// tags; no working copy is made. Marks are set one by one as if set while listening, each
// outcome told as a message; then the split at marks runs. Every reason to stop before the first
// piece (no such file, no audio, a refused mark, a file too small) is reported with
// TMeldungArt::Fehler and ends in a result with `Fehler` set. Unless `ByteSchnitt` is asked
// for, cuts fall on frame boundaries, found by one walk over the frames, which also gives the
// length; a stream whose frames change their sample rate is cut by bytes.
TTeilErgebnis DateiTeilen(const QString &datei, const TTeilWunsch &wunsch, const TLaengeMessen &laengeMs,
                          TCutReporter &reporter);
