#pragma once

#include "cutting/splitter.h"

#include <QStringList>
#include <vector>

class QIODevice;
class TFrameIndex;

// A piece as frames of the index: `Frames` frames from `ErsterFrame` on.
struct TFrameStrecke {
    qint64 ErsterFrame = 0;
    qint64 Frames = 0;
};

// Whether a piece of this stream starts with a header frame of its own: the source had one,
// or its bit rate varies.
bool KopfFrameNoetig(const TFrameIndex &index);

// Pieces of `proTeil` frames (shifted as the byte split shifts its pieces, so the last one is
// nearly full), each after the first starting `vorspann` frames early.
std::vector<TFrameStrecke> ZeitStrecken(const TFrameIndex &index, qint64 proTeil, qint64 vorspann);
// Pieces cut at the frames that play at the marks (milliseconds, ascending).
std::vector<TFrameStrecke> MarkenStrecken(const TFrameIndex &index, const QStringList &marken);
// Pieces whose new frames fit into `bytes` bytes with their header frame; each after the first
// also starts `vorspann` frames early. `geraet` is the stretch the index was read from.
std::vector<TFrameStrecke> GroessenStrecken(const TFrameIndex &index, QIODevice &geraet, qint64 bytes, qint64 vorspann);

// Writes the pieces of the audio stretch of `auftrag`, cut at frame boundaries; each starts with
// a new header frame that describes it when KopfFrameNoetig. Memo, names and messages as
// TeileSchreiben gives them.
TTeilErgebnis StreckenSchreiben(const TTeilAuftrag &auftrag, const TFrameIndex &index,
                                const std::vector<TFrameStrecke> &strecken, TCutReporter &reporter);

// The split commands with cuts at frame boundaries: modes 1 to 3 with the number and the overlap
// seconds, and at marks. The limit of modes 2 and 3 comes from the frames' playing time.
TTeilErgebnis FrameTeilenStarten(const TTeilAuftrag &auftrag, const TFrameIndex &index, int modus, qint64 n,
                                 int vorspannSekunden, TCutReporter &reporter);
TTeilErgebnis MarkenFrameTeilenStarten(const TTeilAuftrag &auftrag, const TFrameIndex &index,
                                       const QStringList &marken, TCutReporter &reporter);
