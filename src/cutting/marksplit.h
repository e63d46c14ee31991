#pragma once

#include "cutting/splitter.h"

#include <QStringList>
#include <vector>

// Bytes of the pieces that end at the marks (milliseconds, ascending) of a working copy of
// `S` bytes and `laengeMs` ms: each is one byte more than its proportional share. The piece
// after the last mark, which takes the rest, is not listed.
std::vector<qint64> MarkenTeilBytes(qint64 S, qint64 laengeMs, const QStringList &marken);

// Cuts the working copy at the marks, one piece per stretch between them and one after the
// last; the marks are in milliseconds and the length is the one the player reports.
TTeilErgebnis MarkenTeilenStarten(const TTeilAuftrag &auftrag, qint64 laengeMs, const QStringList &marken,
                                  TCutReporter &reporter);
