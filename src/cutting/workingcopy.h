#pragma once

#include "support/bytecopy.h"

#include <QString>
#include <functional>

// Writes `ziel` as a new file (one of that name is removed first) with the bytes of `quelle`
// between its leading ID3v2 and its trailing ID3v1 tag. True when every one of those bytes
// arrived; on a failure the bytes written so far stay in `ziel`.
bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel);

// Same, reusing a copier's buffer. `vorDerKopie`, when given, learns which bytes of `quelle`
// the copy will hold (where they start and how many), right before they are copied.
bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel, TByteCopy &kopierer,
                           const std::function<void(qint64 anfang, qint64 anzahl)> &vorDerKopie = {});
