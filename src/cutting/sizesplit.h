#pragma once

#include "cutting/splitter.h"

#include <QString>

// Split modes of the main window.
enum TSplitModus { ModusBytes = 1, ModusMinuten = 2, ModusSekunden = 3, ModusMarken = 4 };

// "Bytes", "Minuten", "Sekunden" or "Marken"; any other value counts as marks.
QString ModusWort(int modus);
// The mode line of the status bar and the memo: "Modus: Bytes".
QString ModusText(int modus);

// Upper limit of the number asked for in modes 1 to 3: kilobytes, minutes or seconds of the
// working copy. 0 or less means the file is too small to split.
qint64 MaxNr(int modus, qint64 mp3Size, qint64 sekundenMpi);

inline const QString ZuKleinText = QStringLiteral("Die Datei ist zu klein, um sie zu zerteilen!");

// Bytes per piece for `n` kilobytes, minutes or seconds, by proportion of size and duration.
// 0 when nothing can be split.
qint64 BytesProTeil(int modus, qint64 n, qint64 mp3Size, qint64 sekundenMpi);

// S mod p as a whole percentage of p (halves to the even neighbour).
int RestProzent(qint64 S, qint64 p);

// Shifts the piece size one byte at a time until the last piece holds at least 95 % of a full
// one (or, for a small file, until one piece takes everything).
qint64 TeilgroesseKorrigieren(qint64 S, qint64 p);

// Overlap of `sekunden` seconds in bytes, within 0 .. bytesProTeil. 0 when the duration is
// unknown.
qint64 VorspannBytes(int sekunden, qint64 mp3Size, qint64 sekundenMpi, qint64 bytesProTeil);

// Bytes per piece after the correction and the overlap in bytes; Bytes 0: nothing to split.
struct TTeilPlan {
    qint64 Bytes = 0;
    qint64 Vorspann = 0;
};

// The number of the number dialog (held within 1 .. MaxNr) and the overlap seconds (0 .. 9)
// turned into the plan of a split in mode 1, 2 or 3.
TTeilPlan TeilPlanen(int modus, qint64 n, int vorspannSekunden, qint64 mp3Size, qint64 sekundenMpi);

// The upper limit of the number dialog for the mode; when the file is too small to split it
// says so and returns 0 or less.
qint64 TeilGrenzePruefen(int modus, qint64 mp3Size, qint64 sekundenMpi, TCutReporter &reporter);

// The limit check and the plan together; Bytes 0 when there is nothing to split, which has
// been said.
TTeilPlan TeilPlanPruefen(int modus, qint64 n, int vorspannSekunden, qint64 mp3Size, qint64 sekundenMpi,
                          TCutReporter &reporter);

// The split command of modes 1 to 3 after the number dialog: checks the limit, plans the split
// for the number `n` and the overlap seconds and writes the pieces. A dialog that read no usable
// number does not call this.
TTeilErgebnis ModusTeilenStarten(const TTeilAuftrag &auftrag, int modus, qint64 n, int vorspannSekunden,
                                 qint64 sekundenMpi, TCutReporter &reporter);

// Cuts the working copy into pieces of `bytes` bytes, each after the first starting with the
// `vorspann` bytes that ended the one before. Nothing happens when `bytes` is 0 or less; the
// caller then keeps its list of the last split's pieces.
TTeilErgebnis TeilenStarten(const TTeilAuftrag &auftrag, int modus, qint64 bytes, qint64 vorspann,
                            TCutReporter &reporter);
