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

// Cuts the working copy into pieces of `bytes` bytes, each after the first starting with the
// `vorspann` bytes that ended the one before. Nothing happens when `bytes` is 0 or less; the
// caller then keeps its list of the last split's pieces.
TTeilErgebnis TeilenStarten(const TTeilAuftrag &auftrag, int modus, qint64 bytes, qint64 vorspann,
                            TCutReporter &reporter);
