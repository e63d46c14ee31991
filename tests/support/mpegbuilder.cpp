#include "support/mpegbuilder.h"

#include <QtEndian>

namespace mpeg {

namespace {

const int kBitrates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2/2.5 I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2/2.5 II, III
};

const int kSampleRates[3][3] = {
    {44100, 48000, 32000}, // MPEG-1
    {22050, 24000, 16000}, // MPEG-2
    {11025, 12000, 8000},  // MPEG-2.5
};

int versionRow(Version v)
{
    return v == Version::Mpeg1 ? 0 : v == Version::Mpeg2 ? 1 : 2;
}

const int *bitrateRow(const FrameSpec &s)
{
    if (s.version == Version::Mpeg1)
        return kBitrates[s.layer - 1];
    return kBitrates[s.layer == 1 ? 3 : 4];
}

int bitrateIndexOf(const FrameSpec &s)
{
    if (s.bitrateIndex)
        return *s.bitrateIndex;
    const int *row = bitrateRow(s);
    for (int i = 1; i < 15; ++i)
        if (row[i] == s.bitrate)
            return i;
    return 15;
}

int sampleRateIndexOf(const FrameSpec &s)
{
    if (s.sampleRateIndex)
        return *s.sampleRateIndex;
    for (int i = 0; i < 3; ++i)
        if (kSampleRates[versionRow(s.version)][i] == s.sampleRate)
            return i;
    return 3;
}

// Rate and bitrate as the header states them; 0 where the header has none.
int effectiveBitrate(const FrameSpec &s)
{
    const int i = bitrateIndexOf(s);
    return (i <= 0 || i >= 15) ? 0 : bitrateRow(s)[i];
}

int effectiveSampleRate(const FrameSpec &s)
{
    const int i = sampleRateIndexOf(s);
    return i >= 3 ? 0 : kSampleRates[versionRow(s.version)][i];
}

quint16 crc16(const QByteArray &bytes, int bitCount)
{
    quint16 crc = 0xFFFF;
    for (int bit = 0; bit < bitCount; ++bit) {
        const bool in = (quint8(bytes[bit / 8]) >> (7 - bit % 8)) & 1;
        const bool top = crc & 0x8000;
        crc = quint16(crc << 1);
        if (in != top)
            crc ^= 0x8005;
    }
    return crc;
}

// Bits after the header that the CRC covers in a silent frame (all zero).
int protectedBits(const FrameSpec &s)
{
    const int channels = s.mode == Mode::Mono ? 1 : 2;
    if (s.layer == 3)
        return sideInfoLength(s) * 8;
    if (s.layer == 1) {
        if (s.mode == Mode::JointStereo) {
            const int bound = 4 * (s.modeExtension + 1);
            return bound * 2 * 4 + (32 - bound) * 4;
        }
        return 32 * 4 * channels;
    }
    return 0; // Layer II: its allocation tables are not modelled here
}

void putBigEndian(QByteArray &bytes, int at, quint32 value)
{
    if (at + 4 > bytes.size())
        return;
    qToBigEndian(value, bytes.data() + at);
}

void putBigEndian16(QByteArray &bytes, int at, quint16 value)
{
    if (at + 2 > bytes.size())
        return;
    qToBigEndian(value, bytes.data() + at);
}

void putText(QByteArray &bytes, int at, const char *text)
{
    for (int i = 0; text[i] && at + i < bytes.size(); ++i)
        bytes[at + i] = text[i];
}

QByteArray latin1Field(const QString &text, int width)
{
    QByteArray field = text.toLatin1().left(width);
    field.append(QByteArray(width - field.size(), '\0'));
    return field;
}

} // namespace

FrameSpec format(Version version, int layer, int bitrate, int sampleRate, Mode mode, bool protection)
{
    FrameSpec s;
    s.version = version;
    s.layer = layer;
    s.bitrate = bitrate;
    s.sampleRate = sampleRate;
    s.mode = mode;
    s.protection = protection;
    return s;
}

int frameLength(const FrameSpec &s)
{
    const int br = effectiveBitrate(s);
    const int sr = effectiveSampleRate(s);
    const int pad = s.padding ? 1 : 0;
    if (sr == 0)
        return 0;
    if (s.layer == 1)
        return (12000 * br / sr + pad) * 4;
    if (s.layer == 3 && s.version != Version::Mpeg1)
        return 72000 * br / sr + pad;
    return 144000 * br / sr + pad;
}

int samplesPerFrame(const FrameSpec &s)
{
    if (s.layer == 1)
        return 384;
    if (s.layer == 3 && s.version != Version::Mpeg1)
        return 576;
    return 1152;
}

int sideInfoLength(const FrameSpec &s)
{
    const bool mono = s.mode == Mode::Mono;
    if (s.version == Version::Mpeg1)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

QByteArray header(const FrameSpec &s)
{
    const int versionBits = s.versionBits ? *s.versionBits
                            : s.version == Version::Mpeg1 ? 3
                            : s.version == Version::Mpeg2 ? 2
                                                          : 0;
    const int layerBits = s.layerBits ? *s.layerBits : 4 - s.layer;
    QByteArray h(4, '\0');
    h[0] = char(0xFF);
    h[1] = char(0xE0 | (versionBits << 3) | (layerBits << 1) | (s.protection ? 0 : 1));
    h[2] = char((bitrateIndexOf(s) << 4) | (sampleRateIndexOf(s) << 2) | (s.padding ? 2 : 0));
    h[3] = char((int(s.mode) << 6) | ((s.modeExtension & 3) << 4) | (s.copyright ? 8 : 0) | (s.original ? 4 : 0) |
                (s.emphasis & 3));
    return h;
}

QByteArray frame(const FrameSpec &s, int freeFormatBody)
{
    const int len = frameLength(s);
    QByteArray f = header(s);
    if (len <= 4) {
        f.append(QByteArray(freeFormatBody, '\0'));
        return f;
    }
    f.append(QByteArray(len - 4, '\0'));
    if (s.protection && len >= 6) {
        QByteArray covered = f.mid(2, 2);
        covered.append(QByteArray((protectedBits(s) + 7) / 8, '\0'));
        putBigEndian16(f, 4, crc16(covered, 16 + protectedBits(s)));
    }
    return f;
}

QByteArray frames(const FrameSpec &s, int count, bool encoderPadding)
{
    QByteArray out;
    if (!encoderPadding) {
        const QByteArray one = frame(s);
        out.reserve(qsizetype(one.size()) * count);
        for (int i = 0; i < count; ++i)
            out.append(one);
        return out;
    }
    FrameSpec plain = s;
    plain.padding = false;
    FrameSpec padded = s;
    padded.padding = true;
    const QByteArray a = frame(plain);
    const QByteArray b = frame(padded);
    const int sr = effectiveSampleRate(s);
    const qint64 numerator = qint64(s.layer == 1 ? 12000 : (s.layer == 3 && s.version != Version::Mpeg1) ? 72000 : 144000) *
                             effectiveBitrate(s);
    qint64 rest = 0;
    for (int i = 0; i < count; ++i) {
        rest += sr ? numerator % sr : 0;
        if (sr && rest >= sr) {
            rest -= sr;
            out.append(b);
        } else {
            out.append(a);
        }
    }
    return out;
}

QByteArray xingFrame(const FrameSpec &s, const XingSpec &x)
{
    QByteArray f = frame(s);
    int at = 4 + sideInfoLength(s);
    putText(f, at, x.info ? "Info" : "Xing");
    quint32 flags = 0;
    if (x.frameCount)
        flags |= 1;
    if (x.byteCount)
        flags |= 2;
    if (x.toc)
        flags |= 4;
    if (x.quality)
        flags |= 8;
    putBigEndian(f, at + 4, flags);
    at += 8;
    if (x.frameCount) {
        putBigEndian(f, at, *x.frameCount);
        at += 4;
    }
    if (x.byteCount) {
        putBigEndian(f, at, *x.byteCount);
        at += 4;
    }
    if (x.toc) {
        for (int i = 0; i < 100 && at + i < f.size(); ++i)
            f[at + i] = char(i * 256 / 100);
        at += 100;
    }
    if (x.quality)
        putBigEndian(f, at, *x.quality);
    return f;
}

QByteArray vbriFrame(const FrameSpec &s, const VbriSpec &v)
{
    QByteArray f = frame(s);
    const int at = 36;
    putText(f, at, "VBRI");
    putBigEndian16(f, at + 4, v.version);
    putBigEndian16(f, at + 6, v.delay);
    putBigEndian16(f, at + 8, v.quality);
    putBigEndian(f, at + 10, v.byteCount);
    putBigEndian(f, at + 14, v.frameCount);
    putBigEndian16(f, at + 18, 0); // no table of contents
    putBigEndian16(f, at + 20, 1);
    putBigEndian16(f, at + 22, 2);
    putBigEndian16(f, at + 24, 0);
    return f;
}

QByteArray id3v2Tag(int majorVersion, int totalSize, bool footer, const QByteArray &body)
{
    const QByteArray content = body.isEmpty() ? QByteArray(qMax(0, totalSize - 10), '\0') : body;
    const quint32 size = quint32(content.size());
    QByteArray h("ID3");
    h.append(char(majorVersion));
    h.append('\0');
    h.append(char(footer && majorVersion == 4 ? 0x10 : 0));
    for (int shift = 21; shift >= 0; shift -= 7)
        h.append(char((size >> shift) & 0x7F));
    QByteArray tag = h + content;
    if (footer && majorVersion == 4) {
        QByteArray f = h;
        f[0] = '3';
        f[1] = 'D';
        f[2] = 'I';
        tag.append(f);
    }
    return tag;
}

QByteArray id3v1Tag(const QString &title, const QString &artist, const QString &album, const QString &year,
                    const QString &comment, int track, int genre)
{
    QByteArray t("TAG");
    t += latin1Field(title, 30);
    t += latin1Field(artist, 30);
    t += latin1Field(album, 30);
    t += latin1Field(year, 4);
    if (track > 0) {
        t += latin1Field(comment, 28);
        t += '\0';
        t += char(track);
    } else {
        t += latin1Field(comment, 30);
    }
    t += char(genre);
    return t;
}

QByteArray junk(int count, quint32 seed)
{
    QByteArray out(count, '\0');
    quint32 x = seed ? seed : 1;
    for (int i = 0; i < count; ++i) {
        x = x * 1664525u + 1013904223u;
        out[i] = char((x >> 24) % 255); // never 0xFF, so no sync can start here
    }
    return out;
}

double durationMs(const FrameSpec &s, qint64 count)
{
    const int sr = effectiveSampleRate(s);
    return sr ? double(count) * samplesPerFrame(s) * 1000.0 / sr : 0.0;
}

} // namespace mpeg
