#include "audio/mpeginfo.h"

#include "audio/frameindex.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 WindowSize = 512;

// Index 1..14 of each table; 0 (free format) gives 0.
constexpr std::array<std::array<qint16, 15>, 5> BitrateTable{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2/2.5 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2/2.5 Layer II, III
}};

constexpr std::array<std::array<qint32, 3>, 3> SamplerateTable{{
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
}};

qint32 bigEndian32(const quint8 *p)
{
    return static_cast<qint32>((quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]));
}

bool hasSync(const quint8 *p)
{
    return p[0] == 0xFF && p[1] >= 0xE0;
}

qint32 saturated(qint64 value)
{
    return value > std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : qint32(value);
}

// Serves reads at absolute positions from one large block, so the scan's many small re-reads and
// look-aheads touch the device sequentially instead of seeking for each of them.
class BlockReader {
public:
    BlockReader(QIODevice &device, qint64 position, qint64 size)
        : dev(device), devPos(position), streamSize(size), block(BlockSize, Qt::Uninitialized)
    {
    }

    // Copies up to `count` bytes at `pos` into `out`, clipped to the stream's end. Nothing before
    // `keepFrom` (at most `pos`) will be asked for again. Returns the bytes copied, -1 on a read error.
    qint64 read(qint64 pos, qint64 count, quint8 *out, qint64 keepFrom)
    {
        count = qMax<qint64>(0, qMin(count, streamSize - pos));
        if (count == 0) // at or behind the end: nothing to ask the device for
            return 0;
        if (!hold(pos, count, keepFrom))
            return -1;
        const qint64 available = qBound<qint64>(0, blockStart + blockLen - pos, count);
        if (available > 0)
            std::memcpy(out, block.constData() + (pos - blockStart), size_t(available));
        return available;
    }

    // The `count` bytes at `pos` in place, valid until the next call; nullptr when the stream
    // does not hold them all or cannot be read.
    const quint8 *view(qint64 pos, qint64 count, qint64 keepFrom)
    {
        if (count > BlockSize || !hold(pos, count, keepFrom) || pos + count > blockStart + blockLen)
            return nullptr;
        return reinterpret_cast<const quint8 *>(block.constData()) + (pos - blockStart);
    }

private:
    static constexpr qint64 BlockSize = 64 * 1024;

    bool hold(qint64 pos, qint64 count, qint64 keepFrom)
    {
        if (pos >= blockStart && pos + count <= blockStart + blockLen)
            return true;
        return refill(qMax(keepFrom, pos + count - BlockSize), pos);
    }

    bool refill(qint64 start, qint64 pos)
    {
        if (start > pos)
            start = pos;
        const qint64 blockEnd = blockStart + blockLen;
        qint64 kept = 0;
        if (start >= blockStart && start < blockEnd) {
            kept = blockEnd - start;
            std::memmove(block.data(), block.constData() + (start - blockStart), size_t(kept));
        }
        blockStart = start;
        blockLen = kept;
        const qint64 from = start + kept;
        if (devPos != from) {
            if (!dev.seek(from))
                return false;
            devPos = from;
        }
        const qint64 got = dev.read(block.data() + kept, BlockSize - kept);
        if (got < 0)
            return false;
        devPos += got;
        blockLen += got;
        return true;
    }

    QIODevice &dev;
    qint64 devPos;
    qint64 streamSize;
    QByteArray block;
    qint64 blockStart = 0;
    qint64 blockLen = 0;
};

} // namespace

qint32 TMpegInfo::CalcFrameLength(qint32 version, qint32 layer, qint32 bitrate, qint32 samplerate, bool padding)
{
    if (samplerate == 0)
        return -2;
    const qint32 pad = padding ? 1 : 0;
    if (layer == 1)
        return (12000 * bitrate / samplerate + pad) * 4;
    if (layer == 2 || version == 1)
        return 144000 * bitrate / samplerate + pad;
    return 72000 * bitrate / samplerate + pad;
}

TFrameHeaderRec TMpegInfo::ParseFrameHeader(const quint8 *buffer, qint64 index)
{
    TFrameHeaderRec h;
    const quint8 *b = buffer + index;
    if (!hasSync(b))
        return h;
    static constexpr quint8 versions[4] = {3, 0, 2, 1};
    h.version = versions[(b[1] >> 3) & 3];
    h.layer = quint8(4 - ((b[1] >> 1) & 3));
    h.protection = (b[1] & 1) == 0;
    if (h.version == 0 || h.layer == 4)
        return h;
    const int bitrateIndex = b[2] >> 4;
    if (bitrateIndex == 15)
        return h;
    const int table = h.version == 1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
    h.bitrate = BitrateTable[table][bitrateIndex];
    const int samplerateIndex = (b[2] >> 2) & 3;
    h.samplerate = samplerateIndex == 3 ? 0 : SamplerateTable[h.version - 1][samplerateIndex];
    h.padding = ((b[2] >> 1) & 1) != 0;
    h.channelmode = b[3] >> 6;
    h.extension = (b[3] >> 4) & 3;
    h.copyright = ((b[3] >> 3) & 1) != 0;
    h.original = ((b[3] >> 2) & 1) != 0;
    h.emphasis = b[3] & 3;
    if (h.version == 1 && h.layer == 2) {
        const qint32 r = h.bitrate;
        if ((r == 32 || r == 48 || r == 56 || r == 80) && h.channelmode != 3)
            return h;
        if ((r == 224 || r == 256 || r == 320 || r == 384) && h.channelmode == 3)
            return h;
    }
    const qint32 length = CalcFrameLength(h.version, h.layer, h.bitrate, h.samplerate, h.padding);
    if (length < 1)
        return h;
    h.framelength = quint16(length);
    h.valid = true;
    return h;
}

TVbrHeaderRec TMpegInfo::ReadXingInfo(const TFrameHeaderRec &header, const quint8 *buffer, qint64 length, qint64 index)
{
    TVbrHeaderRec v;
    const bool mono = header.channelmode == 3;
    const qint64 o = index + (header.version == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21));
    if (o + 11 > length - 1)
        return v;
    const quint8 *p = buffer + o;
    const bool xing = std::memcmp(p, "Xing", 4) == 0;
    if (xing || std::memcmp(p, "Info", 4) == 0) {
        v.frames = (p[7] & 1) ? bigEndian32(p + 8) : 0;
        v.firstFrameLength = header.framelength;
        v.isVbr = xing;
        v.found = v.frames > 0;
        v.empty = v.frames == 0;
    }
    return v;
}

TVbrHeaderRec TMpegInfo::ReadVbriInfo(const TFrameHeaderRec &header, const quint8 *buffer, qint64 length, qint64 index)
{
    TVbrHeaderRec v;
    v.isVbr = true;
    const qint64 o = index + 36;
    if (o + 17 > length - 1)
        return v;
    const quint8 *p = buffer + o;
    if (std::memcmp(p, "VBRI", 4) == 0) {
        v.frames = bigEndian32(p + 14);
        v.firstFrameLength = header.framelength;
        v.found = true;
    }
    return v;
}

bool TMpegInfo::TakeFrame(const TFrameHeaderRec &h, const TVbrHeaderRec &v, bool haveVbr, qint64 position, qint64 size)
{
    Fversion = h.version;
    Flayer = h.layer;
    Fprotection = h.protection;
    Fsamplerate = h.samplerate;
    Fchannelmode = h.channelmode;
    Fextension = h.extension;
    Fcopyright = h.copyright;
    Foriginal = h.original;
    Femphasis = h.emphasis;

    if (haveVbr) {
        const qint64 bytes = size - position - v.firstFrameLength;
        const long double denominator = static_cast<long double>(v.frames) * (Fversion == 1 ? 144 : 72);
        if (denominator == 0)
            return false;
        const long double bitrate = std::nearbyint(static_cast<long double>(Fsamplerate) / 1000 *
                                                   static_cast<long double>(bytes) / denominator);
        // A rate that does not fit the 16-bit field would only give nonsense durations.
        if (!(bitrate >= 1 && bitrate <= 65535))
            return false;
        Fbitrate = quint16(bitrate);
        Fvbr = v.isVbr;
        const long double seconds =
            std::nearbyint(static_cast<long double>(bytes) * 8 / (static_cast<long double>(Fbitrate) * 1000));
        Fdauer = saturated(qint64(seconds));
        Fframes = v.frames;
        return true;
    }

    if (h.bitrate == 0 || h.framelength == 0)
        return false;
    const qint64 bytes = size - position;
    Fframes = saturated(bytes / h.framelength);
    Fbitrate = quint16(h.bitrate);
    Fvbr = false;
    Fdauer = saturated((bytes * 8) / (qint64(Fbitrate) * 1000));
    return true;
}

void TMpegInfo::FramesZaehlen(QIODevice &stream, qint64 position, qint64 size)
{
    // Without a header the first frame's rate says nothing about the others when they vary.
    TFrameIndex index;
    if (!index.Lesen(stream, position, size - position) || !index.Valid() || !index.Vbr())
        return;
    const long double sekunden =
        static_cast<long double>(index.Frames()) * index.SamplesProFrame() / index.Samplerate();
    if (sekunden <= 0)
        return;
    const long double bitrate = std::nearbyint(static_cast<long double>(size - position) * 8 / (sekunden * 1000));
    if (!(bitrate >= 1 && bitrate <= 65535))
        return;
    Fframes = saturated(index.Frames());
    Fdauer = saturated(qint64(sekunden));
    Fbitrate = quint16(bitrate);
    Fvbr = true;
}

TMP3Error TMpegInfo::LoadFromStream(QIODevice &stream)
{
    Fvalid = false;
    FfirstHeaderPosition = -1;

    const qint64 start = stream.pos();
    const qint64 size = stream.size();
    FFilesize = size;
    BlockReader reader(stream, start, size);

    std::array<quint8, WindowSize> window{};
    qint64 windowStart = start;
    qint64 windowLen = reader.read(start, WindowSize, window.data(), start);
    if (windowLen < 0)
        return MP3ERR_SRead;

    qint64 a = start;
    while (a + 3 <= size - 1) {
        qint64 i = a - windowStart;
        if (i + 3 >= windowLen - 1) {
            windowLen = reader.read(a, WindowSize, window.data(), a);
            if (windowLen < 0)
                return MP3ERR_SRead;
            windowStart = a;
            i = 0;
            if (windowLen < 4) // the stream ended before its reported size
                break;
        }

        if (window[i] != 0xFF) {
            // Jump to the next possible sync byte, but stop where the window must be re-read.
            const qint64 last = windowLen - 5;
            const void *hit = i + 1 <= last ? std::memchr(window.data() + i + 1, 0xFF, size_t(last - i)) : nullptr;
            a = hit ? windowStart + (static_cast<const quint8 *>(hit) - window.data())
                    : qMax(a + 1, windowStart + windowLen - 4);
            continue;
        }

        const TFrameHeaderRec h = ParseFrameHeader(window.data(), i);
        if (!h.valid) {
            ++a;
            continue;
        }
        const qint64 len = h.framelength;

        const quint8 *buf;
        qint64 bufLen;
        qint64 idx;
        if (i + len + 3 <= windowLen - 1) {
            buf = window.data();
            bufLen = windowLen;
            idx = i;
        } else if (a + len + 3 < size) {
            buf = reader.view(a, len + 4, a);
            if (!buf) {
                ++a;
                continue;
            }
            bufLen = len + 4;
            idx = 0;
        } else {
            ++a;
            continue;
        }

        TVbrHeaderRec v = ReadXingInfo(h, buf, bufLen, idx);
        bool vbri = false;
        if (!v.found && !v.empty) {
            v = ReadVbriInfo(h, buf, bufLen, idx);
            vbri = v.found;
        }
        if (v.empty) {
            ++a;
            continue;
        }

        if (!vbri) {
            const TFrameHeaderRec h2 = ParseFrameHeader(buf, idx + len);
            if (!h2.valid) {
                ++a;
                continue;
            }
            const qint64 third = len + h2.framelength;
            std::array<quint8, 4> next{};
            if (i + third + 3 <= windowLen - 1) {
                std::memcpy(next.data(), window.data() + i + third, 4);
            } else if (a + third + 3 < size) {
                if (reader.read(a + third, 4, next.data(), a) != 4) {
                    ++a;
                    continue;
                }
            } else {
                ++a;
                continue;
            }
            if (!hasSync(next.data())) {
                ++a;
                continue;
            }
        }

        if (!TakeFrame(h, v, v.found, a, size)) {
            ++a;
            continue;
        }
        if (!v.found)
            FramesZaehlen(stream, a, size);
        Fvalid = true;
        FfirstHeaderPosition = a;
        return MP3ERR_None;
    }
    return MPEGERR_NoFrame;
}

TMP3Error TMpegInfo::LoadFromFile(const QString &FileName)
{
    Fvalid = false;
    FfirstHeaderPosition = -1;
    const QFileInfo info(FileName);
    if (FileName.isEmpty() || !info.exists() || info.isDir())
        return MP3ERR_NoFile;
    // The scan buffers for itself.
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return MP3ERR_FOpenR;
    const TMP3Error result = LoadFromStream(file);
    return result == MP3ERR_SRead ? MP3ERR_FOpenR : result;
}
