#pragma once

#include "support/mp3error.h"

#include <QString>
#include <QtGlobal>

class QIODevice;

// One decoded 4-byte frame header.
struct TFrameHeaderRec {
    quint8 version = 0; // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5, 0 = reserved
    quint8 layer = 0;   // 1..3, 4 = reserved
    bool protection = false;
    qint32 bitrate = 0;    // kbit/s
    qint32 samplerate = 0; // Hz
    quint8 channelmode = 0;
    quint8 extension = 0;
    bool copyright = false;
    bool original = false;
    quint8 emphasis = 0;
    bool padding = false;
    quint16 framelength = 0xFFFF; // 0xFFFF: no length could be computed
    bool valid = false;
};

// What a Xing/Info or VBRI header in the first frame gave.
struct TVbrHeaderRec {
    qint32 frames = 0;
    qint32 firstFrameLength = 0;
    bool isVbr = false; // "Xing" and "VBRI"; "Info" is constant bit rate
    bool found = false; // a usable header with a frame count
    bool empty = false; // "Xing"/"Info" present but without a frame count
};

// Finds the first MPEG audio frame of a stream and derives bit rate, frame count and duration
// from it, or, for a stream of varying bit rate without a header, from all its frames. Only
// reads; never decodes.
class TMpegInfo {
public:
    TMpegInfo() = default;

    // Scans from the stream's current position and leaves it anywhere; callers reposition it.
    // MP3ERR_None, MPEGERR_NoFrame, or MP3ERR_SRead when the stream itself cannot be read.
    TMP3Error LoadFromStream(QIODevice &stream);
    // MP3ERR_None, MPEGERR_NoFrame, MP3ERR_NoFile or MP3ERR_FOpenR.
    TMP3Error LoadFromFile(const QString &FileName);

    qint64 Filesize() const { return FFilesize; }
    qint32 Version() const { return Fversion; }
    qint32 Layer() const { return Flayer; }
    bool Protection() const { return Fprotection; }
    quint16 Bitrate() const { return Fbitrate; }
    qint32 Samplerate() const { return Fsamplerate; }
    quint8 Channelmode() const { return Fchannelmode; }
    quint8 Extension() const { return Fextension; }
    bool Copyright() const { return Fcopyright; }
    bool Original() const { return Foriginal; }
    quint8 Emphasis() const { return Femphasis; }
    qint32 Frames() const { return Fframes; }
    qint32 Dauer() const { return Fdauer; }
    qint32 Duration() const { return Fdauer; }
    bool Vbr() const { return Fvbr; }
    bool Valid() const { return Fvalid; }
    qint64 FirstHeaderPosition() const { return FfirstHeaderPosition; }

    // The frame header rules on their own; `buffer` must hold the bytes index .. index+3.
    static TFrameHeaderRec ParseFrameHeader(const quint8 *buffer, qint64 index);
    // Frame length in bytes; below 1 when none can be computed.
    static qint32 CalcFrameLength(qint32 version, qint32 layer, qint32 bitrate, qint32 samplerate, bool padding);

private:
    static TVbrHeaderRec ReadXingInfo(const TFrameHeaderRec &header, const quint8 *buffer, qint64 length, qint64 index);
    static TVbrHeaderRec ReadVbriInfo(const TFrameHeaderRec &header, const quint8 *buffer, qint64 length, qint64 index);
    bool TakeFrame(const TFrameHeaderRec &h, const TVbrHeaderRec &v, bool haveVbr, qint64 position, qint64 size);
    // For a stream without a header: frames, duration and average rate from all its frames
    // when their bit rates differ.
    void FramesZaehlen(QIODevice &stream, qint64 position, qint64 size);

    qint64 FFilesize = 0;
    qint32 Fversion = 0;
    qint32 Flayer = 0;
    bool Fprotection = false;
    quint16 Fbitrate = 0;
    qint32 Fsamplerate = 0;
    quint8 Fchannelmode = 0;
    quint8 Fextension = 0;
    bool Fcopyright = false;
    bool Foriginal = false;
    quint8 Femphasis = 0;
    qint32 Fframes = 0;
    qint32 Fdauer = 0;
    bool Fvbr = false;
    bool Fvalid = false;
    qint64 FfirstHeaderPosition = 0;
};
