#include "cutting/mp3seconds.h"

#include "audio/mpeginfo.h"
#include "support/filewindow.h"

#include <exception>

qint64 Mp3SekundenMpi(const QString &tmpFilename, const std::function<qint64()> &Mp3Sekunden)
{
    try {
        TMpegInfo info;
        return info.LoadFromFile(tmpFilename) == MP3ERR_None ? info.Dauer() : 0;
    } catch (const std::exception &) {
        return Mp3Sekunden ? Mp3Sekunden() : 0;
    }
}

qint64 Mp3SekundenMpi(const QString &datei, qint64 anfang, qint64 anzahl, const std::function<qint64()> &Mp3Sekunden)
{
    try {
        TDateiFenster fenster(datei, anfang, anzahl);
        if (!fenster.open(QIODevice::ReadOnly))
            return 0;
        TMpegInfo info;
        return info.LoadFromStream(fenster) == MP3ERR_None ? info.Dauer() : 0;
    } catch (const std::exception &) {
        return Mp3Sekunden ? Mp3Sekunden() : 0;
    }
}
