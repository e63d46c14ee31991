#pragma once

#include "cutting/cutreporter.h"

#include <QString>
#include <QStringList>
#include <functional>

// What every split starts from: the working copy, its size when the split was planned, and the
// opened file, beside which the pieces are written. The command line has no working copy: it
// names the opened file itself and where in it the audio starts.
struct TTeilAuftrag {
    QString TmpFilename;
    QString OriFilename;
    qint64 Mp3Size = 0;
    qint64 Anfang = 0; // offset of the audio in TmpFilename
};

struct TTeilErgebnis {
    QStringList SplitDateien; // the pieces created, in the order written
    bool Fehler = false;      // a read or write error ended the split early
};

inline const QString TeilungsFehlerText = QStringLiteral("Es trat ein Fehler beim Teilen auf!");

// Copies the `Mp3Size` bytes from `Anfang` on into the pieces NeueDatei(1), NeueDatei(2), ...;
// piece k takes `teilBytes(k)` new bytes and, from the second piece on, starts with the
// `vorspann` bytes that ended the piece before. Announces every piece in the memo, ends with the
// count of pieces created; a read or write error is shown once and ends the split, the pieces so
// far stay.
TTeilErgebnis TeileSchreiben(const TTeilAuftrag &auftrag, const std::function<qint64(int)> &teilBytes, qint64 vorspann,
                             TCutReporter &reporter);

// The end of every split: a failure shown once, then the count of pieces created in the memo.
TTeilErgebnis TeilenAbschliessen(TTeilErgebnis &e, bool ok, TCutReporter &reporter);
