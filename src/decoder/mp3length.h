#pragma once

#include <QString>
#include <QtGlobal>

// Playing time of an MP3 file in milliseconds, counted exactly as the player counts it (every
// frame decoded, after a full scan); -1 when the file cannot be read or holds no MPEG audio.
qint64 Mp3LaengeMs(const QString &fileName);
// The same for the `count` bytes from `start` on in the file, as a file holding only them.
qint64 Mp3LaengeMs(const QString &fileName, qint64 start, qint64 count);

class TMpgDecoder;
// The same for a file the player has open.
qint64 Mp3LaengeMs(const TMpgDecoder &decoder);
