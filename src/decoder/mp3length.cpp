#include "decoder/mp3length.h"

#include "decoder/mpgdecoder.h"

qint64 Mp3LaengeMs(const QString &fileName)
{
    TMpgDecoder decoder;
    if (decoder.open(fileName) != TMpgDecoder::OpenResult::Ok)
        return -1;
    return Mp3LaengeMs(decoder);
}

qint64 Mp3LaengeMs(const TMpgDecoder &decoder)
{
    return decoder.isOpen() ? decoder.samplesToMs(decoder.lengthSamples()) : -1;
}
