#include "audio/mpeginfo.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <QFile>

#include <cstring>
#include <optional>
#include <tuple>

namespace {

using mpeg::FrameSpec;
using mpeg::Mode;
using mpeg::Version;

using mpeg::format;

const FrameSpec m1l3 = format(Version::Mpeg1, 3, 128, 44100);           // 417-byte frames
const FrameSpec m1l3at48 = format(Version::Mpeg1, 3, 128, 48000);       // 384-byte frames
const FrameSpec tiny = format(Version::Mpeg25, 3, 8, 8000, Mode::Mono); // 72-byte frames
const FrameSpec huge = format(Version::Mpeg25, 2, 160, 8000);           // 2880-byte frames

FrameSpec withIndices(FrameSpec s, std::optional<int> bitrateIndex, std::optional<int> rateIndex, bool padding)
{
    s.bitrateIndex = bitrateIndex;
    s.sampleRateIndex = rateIndex;
    s.padding = padding;
    return s;
}

QByteArray repeated(const QByteArray &piece, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TMP3Error scan(TMpegInfo &info, const QByteArray &bytes, qint64 start = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    EXPECT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_TRUE(buffer.seek(start));
    return info.LoadFromStream(buffer);
}

// ---------------------------------------------------------------------------------------------
// Frame headers

TEST(MpegFrameHeader, EveryTableEntryParsesAsTheBuilderEncodesIt)
{
    const Version versions[] = {Version::Mpeg1, Version::Mpeg2, Version::Mpeg25};
    for (Version v : versions)
        for (int layer = 1; layer <= 3; ++layer)
            for (int bi = 1; bi <= 14; ++bi)
                for (int si = 0; si <= 2; ++si)
                    for (bool pad : {false, true})
                        for (Mode mode : {Mode::Stereo, Mode::Mono}) {
                            FrameSpec s = withIndices(format(v, layer, 0, 0, mode), bi, si, pad);
                            const QByteArray h = mpeg::header(s);
                            const TFrameHeaderRec r =
                                TMpegInfo::ParseFrameHeader(reinterpret_cast<const quint8 *>(h.constData()), 0);
                            SCOPED_TRACE(testing::Message()
                                         << "version " << int(v) << " layer " << layer << " index " << bi << "/" << si
                                         << " pad " << pad << " mode " << int(mode));
                            const bool forbiddenLayer2 =
                                v == Version::Mpeg1 && layer == 2 &&
                                ((mode != Mode::Mono && (bi == 1 || bi == 2 || bi == 3 || bi == 5)) ||
                                 (mode == Mode::Mono && bi >= 11));
                            ASSERT_EQ(r.valid, !forbiddenLayer2);
                            if (forbiddenLayer2)
                                continue;
                            EXPECT_EQ(r.version, v == Version::Mpeg1 ? 1 : v == Version::Mpeg2 ? 2 : 3);
                            EXPECT_EQ(r.layer, layer);
                            EXPECT_EQ(r.padding, pad);
                            EXPECT_EQ(r.framelength, mpeg::frameLength(s));
                        }
}

TEST(MpegFrameHeader, DecodesTheOtherHeaderFields)
{
    FrameSpec s = format(Version::Mpeg2, 3, 64, 24000, Mode::DualChannel);
    s.protection = true;
    s.modeExtension = 2;
    s.copyright = true;
    s.original = false;
    s.emphasis = 3;
    const QByteArray h = mpeg::header(s);
    const TFrameHeaderRec r = TMpegInfo::ParseFrameHeader(reinterpret_cast<const quint8 *>(h.constData()), 0);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.bitrate, 64);
    EXPECT_EQ(r.samplerate, 24000);
    EXPECT_TRUE(r.protection);
    EXPECT_EQ(r.channelmode, 2);
    EXPECT_EQ(r.extension, 2);
    EXPECT_TRUE(r.copyright);
    EXPECT_FALSE(r.original);
    EXPECT_EQ(r.emphasis, 3);
    EXPECT_EQ(r.framelength, 192);
}

TEST(MpegFrameHeader, RejectsReservedAndImpossibleHeaders)
{
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    FrameSpec reservedVersion = m1l3;
    reservedVersion.versionBits = 1;
    FrameSpec reservedLayer = m1l3;
    reservedLayer.layerBits = 0;
    const Case cases[] = {
        {"eleven sync bits missing", QByteArray::fromHex("ffd39064")},
        {"first byte not 0xFF", QByteArray::fromHex("fefb9064")},
        {"reserved version", mpeg::header(reservedVersion)},
        {"reserved layer", mpeg::header(reservedLayer)},
        {"bitrate index 15", mpeg::header(withIndices(m1l3, 15, std::nullopt, false))},
        {"sample rate index 3", mpeg::header(withIndices(m1l3, std::nullopt, 3, false))},
        {"free format, layer III", mpeg::header(withIndices(m1l3, 0, std::nullopt, false))},
        {"free format, layer II", mpeg::header(withIndices(format(Version::Mpeg1, 2, 0, 44100), 0, 0, false))},
    };
    for (const Case &c : cases) {
        const TFrameHeaderRec r = TMpegInfo::ParseFrameHeader(reinterpret_cast<const quint8 *>(c.bytes.constData()), 0);
        EXPECT_FALSE(r.valid) << c.name;
    }
}

TEST(MpegFrameHeader, FrameLengths)
{
    struct Case {
        int version, layer, bitrate, rate;
        bool padding;
        int length;
    };
    const Case cases[] = {
        {1, 3, 128, 44100, false, 417}, {1, 3, 128, 44100, true, 418}, {1, 3, 320, 48000, false, 960},
        {2, 3, 64, 22050, false, 208},  {3, 3, 8, 8000, false, 72},    {1, 2, 192, 48000, false, 576},
        {2, 2, 64, 24000, false, 384},  {1, 1, 384, 44100, true, 420}, {1, 3, 0, 44100, true, 1},
        {1, 1, 0, 44100, true, 4},      {1, 3, 128, 0, false, -2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TMpegInfo::CalcFrameLength(c.version, c.layer, c.bitrate, c.rate, c.padding), c.length)
            << c.version << "/" << c.layer << "/" << c.bitrate << "/" << c.rate;
}

// ---------------------------------------------------------------------------------------------
// The scan

struct ScanCase {
    const char *name;
    QByteArray bytes;
    qint64 start;
    TMP3Error result;
    qint64 position; // first header, -1 when none
    qint32 frames;
    qint32 dauer;
    int bitrate;
    bool vbr;
};

void expectScan(const ScanCase &c)
{
    SCOPED_TRACE(c.name);
    TMpegInfo info;
    EXPECT_EQ(scan(info, c.bytes, c.start), c.result);
    EXPECT_EQ(info.Filesize(), c.bytes.size());
    EXPECT_EQ(info.FirstHeaderPosition(), c.position);
    EXPECT_EQ(info.Valid(), c.result == MP3ERR_None);
    if (c.result != MP3ERR_None)
        return;
    EXPECT_EQ(info.Frames(), c.frames);
    EXPECT_EQ(info.Dauer(), c.dauer);
    EXPECT_EQ(info.Duration(), c.dauer);
    EXPECT_EQ(info.Bitrate(), c.bitrate);
    EXPECT_EQ(info.Vbr(), c.vbr);
}

TEST(MpegScan, ConstantBitrateStreams)
{
    const QByteArray id3 = mpeg::id3v2Tag(3, 2048, false, mpeg::frames(m1l3, 5));
    const ScanCase cases[] = {
        {"4000000 bytes at 128 kbit/s", mpeg::frames(m1l3, 9593).left(4000000), 0, MP3ERR_None, 0, 9592, 250, 128,
         false},
        {"junk before the first frame", mpeg::junk(1000) + mpeg::frames(m1l3, 100), 0, MP3ERR_None, 1000, 100, 2, 128,
         false},
        {"a lone header in the junk", mpeg::junk(300) + mpeg::header(m1l3) + mpeg::junk(600) + mpeg::frames(m1l3, 50),
         0, MP3ERR_None, 904, 50, 1, 128, false},
        {"scan starts at the stream position", id3 + mpeg::frames(m1l3, 100), id3.size(), MP3ERR_None, id3.size(), 100,
         2, 128, false},
        {"three headers suffice", mpeg::frames(m1l3, 2) + mpeg::header(m1l3), 0, MP3ERR_None, 0, 2, 0, 128, false},
        {"trailing data counts into the length", mpeg::frames(m1l3at48, 500) + mpeg::junk(16000), 0, MP3ERR_None, 0,
         541, 13, 128, false},
        {"MPEG-2.5 mono", mpeg::frames(tiny, 200), 0, MP3ERR_None, 0, 200, 14, 8, false},
        {"layer II", mpeg::frames(format(Version::Mpeg1, 2, 192, 48000, Mode::Stereo), 100), 0, MP3ERR_None, 0, 100, 2,
         192, false},
        {"layer I", mpeg::frames(format(Version::Mpeg1, 1, 384, 48000, Mode::Stereo), 400), 0, MP3ERR_None, 0, 400, 3,
         384, false},
        {"next frame of another kind", mpeg::frame(m1l3) + mpeg::frames(tiny, 10), 0, MP3ERR_None, 0, 2, 0, 128, false},
    };
    for (const ScanCase &c : cases)
        expectScan(c);
}

TEST(MpegScan, VbrHeaders)
{
    const FrameSpec m1l3at64 = format(Version::Mpeg1, 3, 64, 44100);
    const FrameSpec m2mono = format(Version::Mpeg2, 3, 64, 22050, Mode::Mono);
    mpeg::XingSpec xing;
    xing.frameCount = 500;
    mpeg::XingSpec info = xing;
    info.info = true;
    mpeg::XingSpec noCount;
    noCount.byteCount = 123456;
    noCount.toc = true;
    mpeg::XingSpec zeroCount;
    zeroCount.frameCount = 0;
    mpeg::XingSpec infoNoCount;
    infoNoCount.info = true;
    mpeg::XingSpec negativeCount;
    negativeCount.frameCount = 0x80000000;
    mpeg::XingSpec m2count;
    m2count.frameCount = 400;
    mpeg::VbriSpec vbri;
    vbri.frameCount = 1000;
    mpeg::VbriSpec vbriTwo;
    vbriTwo.frameCount = 2;
    mpeg::VbriSpec vbriZero;
    mpeg::VbriSpec vbri104;
    vbri104.frameCount = 104;
    mpeg::VbriSpec vbri146;
    vbri146.frameCount = 146;

    const ScanCase cases[] = {
        {"Xing with a frame count", mpeg::xingFrame(m1l3, xing) + mpeg::frames(m1l3at64, 500), 0, MP3ERR_None, 0, 500,
         13, 64, true},
        {"Info is constant bit rate", mpeg::xingFrame(m1l3, info) + mpeg::frames(m1l3at64, 500), 0, MP3ERR_None, 0, 500,
         13, 64, false},
        {"Xing in MPEG-2 mono", mpeg::xingFrame(m2mono, m2count) + mpeg::frames(m2mono, 400), 0, MP3ERR_None, 0, 400,
         10, 64, true},
        {"Xing without a frame count is skipped", mpeg::xingFrame(m1l3, noCount) + mpeg::frames(m1l3, 100), 0,
         MP3ERR_None, 417, 100, 2, 128, false},
        {"Xing with a frame count of 0 is skipped", mpeg::xingFrame(m1l3, zeroCount) + mpeg::frames(m1l3, 100), 0,
         MP3ERR_None, 417, 100, 2, 128, false},
        {"Xing count beyond 31 bits: a plain frame", mpeg::xingFrame(m1l3, negativeCount) + mpeg::frames(m1l3, 100), 0,
         MP3ERR_None, 0, 101, 2, 128, false},
        {"Info without a frame count is skipped", mpeg::xingFrame(m1l3, infoNoCount) + mpeg::frames(m1l3, 100), 0,
         MP3ERR_None, 417, 100, 2, 128, false},
        {"VBRI needs no following frames", mpeg::vbriFrame(m1l3, vbri) + mpeg::junk(50000), 0, MP3ERR_None, 0, 1000, 27,
         15, true},
        {"VBRI with a frame count of 0 is skipped", mpeg::vbriFrame(m1l3, vbriZero) + mpeg::frames(m1l3, 100), 0,
         MP3ERR_None, 417, 100, 2, 128, false},
        // 48 kHz, 2 frames: the bit rate is the bytes behind the header divided by 6.
        {"bit rate 128.5 rounds to even", mpeg::vbriFrame(m1l3at48, vbriTwo) + mpeg::junk(771), 0, MP3ERR_None, 0, 2, 0,
         128, true},
        {"bit rate 129.5 rounds to even", mpeg::vbriFrame(m1l3at48, vbriTwo) + mpeg::junk(777), 0, MP3ERR_None, 0, 2, 0,
         130, true},
        // 128 kbit/s after rounding; 40000 and 56000 bytes last 2.5 and 3.5 seconds.
        {"duration 2.5 rounds to even", mpeg::vbriFrame(m1l3at48, vbri104) + mpeg::junk(40000), 0, MP3ERR_None, 0,
         104, 2, 128, true},
        {"duration 3.5 rounds to even", mpeg::vbriFrame(m1l3at48, vbri146) + mpeg::junk(56000), 0, MP3ERR_None, 0,
         146, 4, 128, true},
    };
    for (const ScanCase &c : cases)
        expectScan(c);
}

TEST(MpegScan, StreamsWithoutAcceptableFrame)
{
    const FrameSpec freeL3 = withIndices(m1l3, 0, std::nullopt, false);
    const FrameSpec freeL3padded = withIndices(m1l3, 0, std::nullopt, true);
    const FrameSpec freeL1padded = withIndices(format(Version::Mpeg1, 1, 0, 44100), 0, std::nullopt, true);
    const FrameSpec reservedRate = withIndices(m1l3, std::nullopt, 3, false);
    mpeg::VbriSpec vbri;
    vbri.frameCount = 1; // far too few frames: the bit rate would not fit its field
    mpeg::VbriSpec manyFrames;
    manyFrames.frameCount = 1000;
    const QByteArray two = mpeg::frames(m1l3, 2);
    const ScanCase cases[] = {
        {"empty", QByteArray(), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"three bytes", QByteArray::fromHex("fffb90"), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"three bytes behind the start", two, two.size() - 3, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"all 0xFF", QByteArray(10000, char(0xFF)), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"all zeros", QByteArray(10000, '\0'), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"text", QByteArray("Dies ist keine MP3-Datei.\n").repeated(400), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"two frames without a third header", two + mpeg::junk(500), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"third header cut by the end", two + mpeg::header(m1l3).left(3), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"free format, layer III", repeated(mpeg::frame(freeL3, 400), 30), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"free format, layer III padded", repeated(mpeg::frame(freeL3padded, 400), 30), 0, MPEGERR_NoFrame, -1, 0, 0, 0,
         false},
        {"free format, layer I padded", repeated(mpeg::header(freeL1padded), 300), 0, MPEGERR_NoFrame, -1, 0, 0, 0,
         false},
        {"reserved sample rate", repeated(mpeg::frame(reservedRate, 413), 30), 0, MPEGERR_NoFrame, -1, 0, 0, 0, false},
        {"VBRI whose bit rate overflows", mpeg::vbriFrame(m1l3, vbri) + mpeg::junk(4000000), 0, MPEGERR_NoFrame, -1, 0,
         0, 0, false},
        {"VBRI whose bit rate rounds to 0", mpeg::vbriFrame(m1l3, manyFrames) + mpeg::junk(10), 0, MPEGERR_NoFrame, -1,
         0, 0, 0, false},
    };
    for (const ScanCase &c : cases)
        expectScan(c);
}

// The scan looks at the stream through a 512-byte window; frames at and across its edges, and
// frames longer than the window, must be found all the same.
TEST(MpegScan, FindsFramesAtEveryWindowEdge)
{
    mpeg::XingSpec xing;
    xing.frameCount = 6;
    const FrameSpec specs[] = {m1l3, tiny, huge};
    for (const FrameSpec &s : specs) {
        // The first, second or third header at, just inside or just past the window's end.
        QList<int> junkLengths{0, 1, 400, 1015, 1016, 1017, 1020};
        for (int d = -2; d <= 3; ++d)
            for (int before : {0, 1, 2})
                if (508 + d - before * mpeg::frameLength(s) >= 0)
                    junkLengths << 508 + d - before * mpeg::frameLength(s);
        for (int junk : junkLengths)
            for (bool withXing : {false, true}) {
                SCOPED_TRACE(testing::Message() << "frame length " << mpeg::frameLength(s) << ", junk " << junk
                                                << (withXing ? ", Xing" : ""));
                QByteArray bytes = mpeg::junk(junk, 7);
                if (withXing)
                    bytes += mpeg::xingFrame(s, xing);
                bytes += mpeg::frames(s, 6);
                TMpegInfo info;
                ASSERT_EQ(scan(info, bytes), MP3ERR_None);
                EXPECT_EQ(info.FirstHeaderPosition(), junk);
                EXPECT_EQ(info.Vbr(), withXing);
                EXPECT_EQ(info.Frames(), 6);
            }
    }
}

TEST(MpegScan, LoadsAgainFromScratch)
{
    TMpegInfo info;
    ASSERT_EQ(scan(info, mpeg::frames(m1l3, 10)), MP3ERR_None);
    EXPECT_EQ(scan(info, mpeg::junk(100)), MPEGERR_NoFrame);
    EXPECT_FALSE(info.Valid());
    EXPECT_EQ(info.FirstHeaderPosition(), -1);
    EXPECT_EQ(info.Filesize(), 100);
}

// Counts what the scan asks of its stream.
class CountingBuffer : public QBuffer {
public:
    bool seek(qint64 pos) override
    {
        ++seeks;
        return QBuffer::seek(pos);
    }
    int seeks = 0;
    int reads = 0;
    bool behindEnd = false;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        ++reads;
        behindEnd = behindEnd || pos() >= size();
        return QBuffer::readData(data, maxSize);
    }
};

TEST(MpegScan, ReadsLongJunkSequentially)
{
    // Stray headers every 300 bytes make the scan look ahead and re-read again and again.
    QByteArray bytes;
    while (bytes.size() < 4 * 1024 * 1024)
        bytes += mpeg::header(m1l3) + mpeg::junk(296, quint32(bytes.size()));
    bytes += mpeg::frames(m1l3, 10);
    CountingBuffer buffer;
    buffer.setData(bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    TMpegInfo info;
    ASSERT_EQ(info.LoadFromStream(buffer), MP3ERR_None);
    EXPECT_EQ(info.FirstHeaderPosition(), bytes.size() - 4170);
    EXPECT_LE(buffer.seeks, 2);
    EXPECT_LE(buffer.reads, bytes.size() / (32 * 1024) + 2);
}

TEST(MpegScan, NeverAsksForBytesBehindTheEnd)
{
    const QByteArray bytes = mpeg::frames(m1l3, 3);
    for (qint64 start : {bytes.size() - 3, bytes.size()}) {
        SCOPED_TRACE(start);
        CountingBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        ASSERT_TRUE(buffer.seek(start));
        TMpegInfo info;
        EXPECT_EQ(info.LoadFromStream(buffer), MPEGERR_NoFrame);
        EXPECT_FALSE(buffer.behindEnd);
    }
}

class FailingDevice : public QIODevice {
public:
    qint64 size() const override { return 100000; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

TEST(MpegScan, ReportsAStreamThatCannotBeRead)
{
    FailingDevice device;
    ASSERT_TRUE(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    TMpegInfo info;
    EXPECT_EQ(info.LoadFromStream(device), MP3ERR_SRead);
    EXPECT_FALSE(info.Valid());
}

// ---------------------------------------------------------------------------------------------
// Files

class MpegFile : public TempDirTest {
};

TEST_F(MpegFile, ResultCodes)
{
    TMpegInfo info;
    EXPECT_EQ(info.LoadFromFile(path("fehlt.mp3")), MP3ERR_NoFile);
    EXPECT_EQ(info.LoadFromFile(dir.path()), MP3ERR_NoFile);
    EXPECT_EQ(info.LoadFromFile(QString()), MP3ERR_NoFile);
    EXPECT_EQ(info.LoadFromFile(writeFile("text.mp3", "keine Musik")), MPEGERR_NoFrame);
    EXPECT_EQ(info.Filesize(), 11);

    const QByteArray id3 = mpeg::id3v2Tag(4, 4096);
    ASSERT_EQ(info.LoadFromFile(writeFile("a.mp3", id3 + mpeg::frames(m1l3, 1000))), MP3ERR_None);
    EXPECT_EQ(info.FirstHeaderPosition(), 4096);
    EXPECT_EQ(info.Version(), 1);
    EXPECT_EQ(info.Layer(), 3);
    EXPECT_EQ(info.Samplerate(), 44100);
    EXPECT_EQ(info.Channelmode(), 1);
    EXPECT_EQ(info.Frames(), 1000);
    EXPECT_EQ(info.Dauer(), 26);
}

// A size beyond 32 bits, made sparse so it costs no disk space.
TEST_F(MpegFile, HugeSparseFile)
{
    const qint64 fiveGiB = qint64(5) << 30;
    const QString front = writeFile("front.mp3", mpeg::frames(m1l3, 10));
    ASSERT_TRUE(QFile::resize(front, fiveGiB));
    TMpegInfo info;
    ASSERT_EQ(info.LoadFromFile(front), MP3ERR_None);
    EXPECT_EQ(info.Filesize(), fiveGiB);
    EXPECT_EQ(info.FirstHeaderPosition(), 0);
    EXPECT_EQ(info.Frames(), fiveGiB / 417);
    EXPECT_EQ(info.Dauer(), fiveGiB * 8 / 128000);
}

// Zeros up to `size`, then `tail`, without holding them; reading a sparse file of that size
// would only measure the disk.
class ZeroStream : public QIODevice {
public:
    ZeroStream(qint64 zeros, const QByteArray &tail) : zeros(zeros), tail(tail) {}
    qint64 size() const override { return zeros + tail.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 at = pos();
        const qint64 n = qBound<qint64>(0, size() - at, maxSize);
        for (qint64 k = 0; k < n;) {
            if (at + k < zeros) {
                const qint64 run = qMin(n - k, zeros - at - k);
                std::memset(data + k, 0, size_t(run));
                k += run;
            } else {
                data[k] = tail[at + k - zeros];
                ++k;
            }
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 zeros;
    QByteArray tail;
};

TEST(MpegScan, FindsAFrameBeyondTwoGiB)
{
    const qint64 behind = (qint64(9) << 28) + 3;
    ZeroStream stream(behind, mpeg::frames(m1l3, 10));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    TMpegInfo info;
    ASSERT_EQ(info.LoadFromStream(stream), MP3ERR_None);
    EXPECT_EQ(info.FirstHeaderPosition(), behind);
    EXPECT_EQ(info.Filesize(), behind + 4170);
    EXPECT_EQ(info.Frames(), 10);
}

} // namespace

namespace {

TEST(MpegInfoVbrWithoutHeader, DurationComesFromAllFramesNotTheFirstRate)
{
    // 1000 frames of 32 and 1000 of 320 kbit/s: 52.2 s; the first frame's rate would say 470 s.
    const QByteArray bytes = mpeg::frames(format(Version::Mpeg1, 3, 32, 44100), 1000) +
                             mpeg::frames(format(Version::Mpeg1, 3, 320, 44100), 1000);
    TMpegInfo info;
    ASSERT_EQ(scan(info, bytes), MP3ERR_None);
    EXPECT_EQ(info.Frames(), 2000);
    EXPECT_EQ(info.Dauer(), 52);
    EXPECT_TRUE(info.Vbr());
    EXPECT_EQ(info.Bitrate(), qRound(bytes.size() * 8 / (2000 * 1152 / 44100.0) / 1000));

    // A constant rate keeps the Part's numbers: frames by the first frame's length.
    ASSERT_EQ(scan(info, mpeg::frames(m1l3, 500)), MP3ERR_None);
    EXPECT_EQ(info.Frames(), 500);
    EXPECT_FALSE(info.Vbr());
}

} // namespace
