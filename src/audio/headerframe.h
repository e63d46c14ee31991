#pragma once

#include "audio/frameindex.h"

#include <QByteArray>
#include <array>

// Reads a Xing, Info or VBRI header and a LAME extension from a Layer III frame of `laenge` bytes.
TKopfFrame KopfFrameLesen(const quint8 *frame, qint64 laenge);

// What a new header frame describes: a run of frames and its bytes.
struct TKopfInhalt {
    qint64 Frames = 0;
    qint64 AudioBytes = 0;          // the frames' bytes, the header frame not counted
    std::array<quint8, 100> Toc{};  // in 256ths of the whole, header frame included
    bool Erstes = true;             // takes the source's encoder delay
    bool Letztes = true;            // takes the source's padding
};

// The length of the header frame KopfFrameBauen makes for frames like `vorlage`.
qint32 KopfFrameLaenge(const std::array<quint8, 4> &vorlage, bool lame);

// A silent Layer III frame like `vorlage` that holds a Xing header ("Info" when the source had
// one and its frames keep one bit rate) and, when the source had one, a LAME extension.
QByteArray KopfFrameBauen(const std::array<quint8, 4> &vorlage, const TKopfFrame &quelle, bool vbr,
                          const TKopfInhalt &inhalt);

// CRC-16 as the LAME extension uses it (polynomial 0x8005, reflected, start 0).
quint16 LameCrc(const quint8 *daten, qint64 anzahl);
