#include "audio/headerframe.h"

#include "audio/mpeginfo.h"

#include <QtEndian>
#include <cstring>

namespace {

constexpr qint32 XingFelder = 4 + 4 + 4 + 4 + 100 + 4; // tag, flags, frames, bytes, TOC, quality
constexpr qint32 LameLaenge = 36;

// Where the Xing header starts: after the header and the side information.
qint32 xingStelle(quint8 version, quint8 kanalmodus)
{
    const bool mono = kanalmodus == 3;
    return version == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
}

} // namespace

quint16 LameCrc(const quint8 *daten, qint64 anzahl)
{
    quint16 crc = 0;
    for (qint64 i = 0; i < anzahl; ++i) {
        crc ^= daten[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

TKopfFrame KopfFrameLesen(const quint8 *frame, qint64 laenge)
{
    TKopfFrame k;
    if (!frame || laenge < 4)
        return k;
    const TFrameHeaderRec h = TMpegInfo::ParseFrameHeader(frame, 0);
    if (!h.valid)
        return k;
    if (laenge >= 36 + 26 && std::memcmp(frame + 36, "VBRI", 4) == 0) {
        k.Vorhanden = true;
        return k;
    }
    qint32 o = xingStelle(h.version, h.channelmode);
    if (o + 8 > laenge)
        return k;
    const bool xing = std::memcmp(frame + o, "Xing", 4) == 0;
    const bool info = std::memcmp(frame + o, "Info", 4) == 0;
    if (!xing && !info)
        return k;
    k.Vorhanden = true;
    k.Info = info;
    const quint32 flags = qFromBigEndian<quint32>(frame + o + 4);
    qint32 p = o + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0);
    if (flags & 8) {
        if (p + 4 > laenge)
            return k;
        k.Qualitaet = qFromBigEndian<quint32>(frame + p);
        p += 4;
    }
    if (p + LameLaenge > laenge)
        return k;
    const quint8 *lame = frame + p;
    if (LameCrc(frame, p + 34) != qFromBigEndian<quint16>(lame + 34))
        return k;
    k.Lame = true;
    k.LameTeil = QByteArray(reinterpret_cast<const char *>(lame), LameLaenge);
    k.Delay = (lame[21] << 4) | (lame[22] >> 4);
    k.Padding = ((lame[22] & 0x0F) << 8) | lame[23];
    return k;
}

qint32 KopfFrameLaenge(const std::array<quint8, 4> &vorlage, bool lame)
{
    const TFrameHeaderRec h = TMpegInfo::ParseFrameHeader(vorlage.data(), 0);
    const qint32 noetig = xingStelle(h.version, h.channelmode) + XingFelder + (lame ? LameLaenge : 0);
    std::array<quint8, 4> b = vorlage;
    b[2] &= 0x0C; // sample rate only: no padding, no private bit
    for (int index = 1; index < 15; ++index) {
        b[2] = quint8((b[2] & 0x0F) | (index << 4));
        const TFrameHeaderRec k = TMpegInfo::ParseFrameHeader(b.data(), 0);
        if (k.valid && k.framelength >= noetig)
            return k.framelength;
    }
    return 0;
}

QByteArray KopfFrameBauen(const std::array<quint8, 4> &vorlage, const TKopfFrame &quelle, bool vbr,
                          const TKopfInhalt &inhalt)
{
    const TFrameHeaderRec h = TMpegInfo::ParseFrameHeader(vorlage.data(), 0);
    const bool lame = quelle.Lame;
    const qint32 laenge = KopfFrameLaenge(vorlage, lame);
    if (!h.valid || h.layer != 3 || laenge <= 0)
        return {};
    QByteArray f(laenge, '\0');
    auto *b = reinterpret_cast<quint8 *>(f.data());
    b[0] = 0xFF;
    b[1] = vorlage[1] | 0x01; // no CRC
    b[3] = vorlage[3];
    for (int index = 1; index < 15; ++index) {
        b[2] = quint8((vorlage[2] & 0x0C) | (index << 4));
        if (TMpegInfo::ParseFrameHeader(b, 0).framelength == laenge)
            break;
    }
    const qint64 bytes = laenge + inhalt.AudioBytes;
    quint8 *x = b + xingStelle(h.version, h.channelmode);
    std::memcpy(x, quelle.Info && !vbr ? "Info" : "Xing", 4);
    qToBigEndian<quint32>(lame ? 0x0F : 0x07, x + 4);
    qToBigEndian<quint32>(quint32(inhalt.Frames), x + 8);
    qToBigEndian<quint32>(quint32(qMin<qint64>(bytes, 0xFFFFFFFF)), x + 12);
    std::memcpy(x + 16, inhalt.Toc.data(), 100);
    if (lame) {
        qToBigEndian<quint32>(quelle.Qualitaet, x + 116);
        quint8 *l = x + XingFelder;
        std::memcpy(l, quelle.LameTeil.constData(), LameLaenge);
        const qint32 delay = inhalt.Erstes ? quelle.Delay : 0;
        const qint32 padding = inhalt.Letztes ? quelle.Padding : 0;
        l[21] = quint8(delay >> 4);
        l[22] = quint8(((delay & 0x0F) << 4) | (padding >> 8));
        l[23] = quint8(padding & 0xFF);
        qToBigEndian<quint32>(quint32(qMin<qint64>(bytes, 0xFFFFFFFF)), l + 28);
        // The CRC of the music would need every byte before the copy; no player checks it.
        l[32] = l[33] = 0;
        qToBigEndian<quint16>(LameCrc(b, (l - b) + 34), l + 34);
    }
    return f;
}
