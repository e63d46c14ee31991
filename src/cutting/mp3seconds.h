#pragma once

#include <QString>
#include <functional>

// Whole seconds of the working copy as the MPEG analysis finds them from its first byte; 0 when
// no frame is found or the file cannot be read. Only when the analysis fails unexpectedly is
// `Mp3Sekunden` (the player's length) asked instead.
qint64 Mp3SekundenMpi(const QString &tmpFilename, const std::function<qint64()> &Mp3Sekunden);

// The same for the `anzahl` bytes from `anfang` on in `datei`: what a working copy of them would
// give, without making one.
qint64 Mp3SekundenMpi(const QString &datei, qint64 anfang, qint64 anzahl, const std::function<qint64()> &Mp3Sekunden);
