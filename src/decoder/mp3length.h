#pragma once

#include <QString>
#include <QtGlobal>

// Playing time of an MP3 file in milliseconds, counted exactly as the player counts it (every
// frame decoded, after a full scan); -1 when the file cannot be read or holds no MPEG audio.
qint64 Mp3LaengeMs(const QString &fileName);

class TMpgDecoder;
// The same for a file the player has open.
qint64 Mp3LaengeMs(const TMpgDecoder &decoder);
