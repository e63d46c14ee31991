#include "decoder/mp3length.h"

#include "decoder/mpgdecoder.h"

qint64 Mp3LaengeMs(const QString &fileName)
{
    return Mp3LaengeMs(fileName, 0, -1);
}

qint64 Mp3LaengeMs(const QString &fileName, qint64 start, qint64 count)
{
    TMpgDecoder decoder;
    if (decoder.open(fileName, start, count) != TMpgDecoder::OpenResult::Ok)
        return -1;
    return Mp3LaengeMs(decoder);
}

qint64 Mp3LaengeMs(const TMpgDecoder &decoder)
{
    return decoder.isOpen() ? decoder.samplesToMs(decoder.lengthSamples()) : -1;
}
