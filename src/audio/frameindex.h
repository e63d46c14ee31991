#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <vector>

class QIODevice;

// What a Xing, Info or VBRI header in the first frame says, with its LAME extension.
struct TKopfFrame {
    bool Vorhanden = false; // the first frame is a header frame and carries no audio
    bool Info = false;      // "Info": the encoder meant a constant bit rate
    bool Lame = false;      // a LAME extension whose CRC is right
    quint32 Qualitaet = 0;
    QByteArray LameTeil;    // the extension's 36 bytes
    qint32 Delay = 0;
    qint32 Padding = 0;
};

// Where the frames of a stretch of a file lie in time, from one walk over their headers: the
// start of every 16th frame; the frames between are walked again when asked for. A 10-hour
// book takes well under a megabyte.
class TFrameIndex {
public:
    static constexpr qint64 Schritt = 16;

    // Walks the `anzahl` bytes from `anfang` on in `geraet`; positions count from `anfang`.
    // False when no frame is found or the stretch cannot be read.
    bool Lesen(QIODevice &geraet, qint64 anfang, qint64 anzahl);

    // Frames found, all of one version, layer and sample rate, so frame numbers are times.
    bool Valid() const { return FFrames > 0 && !FGemischt; }
    qint64 Frames() const { return FFrames; }   // audio frames, a header frame not counted
    qint32 SamplesProFrame() const { return FSamplesProFrame; }
    qint32 Samplerate() const { return FSamplerate; }
    qint64 LaengeMs() const;
    // The frame that plays at `ms`, within 0 .. Frames().
    qint64 FrameBeiMs(qint64 ms) const;
    qint64 FramesFuerMs(qint64 ms) const;
    // Frames of differing bit rates.
    bool Vbr() const { return FBitrateMin != FBitrateMax; }
    qint32 Layer() const { return FLayer; }
    const TKopfFrame &Kopf() const { return FKopf; }
    // The header of the first audio frame, the pattern of a new header frame.
    const std::array<quint8, 4> &Vorlage() const { return FVorlage; }
    qint64 ErsterFrame() const { return FTabelle.empty() ? 0 : FTabelle.front(); }
    qint64 Ende() const { return FEnde; }       // end of the last whole frame
    qint64 Groesse() const { return FGroesse; } // bytes of the stretch

    // Start of frame `frame` (Frames() gives Ende()); reads the frames after the table's entry
    // from `geraet`, which holds the stretch where it held it when the index was read; moves
    // its position. -1 when that fails.
    qint64 FrameStart(QIODevice &geraet, qint64 frame) const;
    // The last frame that starts at or before `position`.
    qint64 FrameVor(QIODevice &geraet, qint64 position) const;
    // Start of `frame` from the table alone, between its entries in proportion.
    qint64 UngefaehrerStart(qint64 frame) const;
    // Bytes the index holds.
    size_t Speicher() const { return FTabelle.capacity() * sizeof(qint64); }

private:
    std::vector<qint64> FTabelle; // start of frame k * Schritt
    qint64 FFrames = 0;
    qint64 FEnde = 0;
    qint64 FGroesse = 0;
    qint64 FAnfang = 0;
    // Of the first frame; a frame of another kind makes the stream mixed.
    qint32 FSamplesProFrame = 0, FSamplerate = 0, FVersion = 0, FLayer = 0;
    qint32 FBitrateMin = 0, FBitrateMax = 0;
    bool FGemischt = false;
    TKopfFrame FKopf;
    std::array<quint8, 4> FVorlage{};
};
