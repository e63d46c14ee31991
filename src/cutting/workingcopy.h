#pragma once

#include "support/bytecopy.h"

#include <QString>

// Writes `ziel` as a new file (one of that name is removed first) with the bytes of `quelle`
// between its leading ID3v2 and its trailing ID3v1 tag. True when every one of those bytes
// arrived; on a failure the bytes written so far stay in `ziel`.
bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel);

// Same, reusing a copier's buffer.
bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel, TByteCopy &kopierer);
