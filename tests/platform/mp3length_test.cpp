#include "encoded.h"
#include "decoder/mp3length.h"
#include "decoder/mpgdecoder.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QDir>
#include <cmath>

namespace {

using mpeg::FrameSpec;
using mpeg::Mode;
using mpeg::Version;

struct LengthCase {
    const char *name;
    FrameSpec spec;
    int frameCount;
};

void PrintTo(const LengthCase &c, std::ostream *os)
{
    *os << c.name;
}


class Mp3LengthOfSyntheticFiles : public TempDirTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(Mp3LengthOfSyntheticFiles, CountsEveryFrame)
{
    const LengthCase &c = GetParam();
    const QByteArray audio = mpeg::frames(c.spec, c.frameCount, true);
    const auto expected = qint64(std::floor(mpeg::durationMs(c.spec, c.frameCount)));
    EXPECT_EQ(Mp3LaengeMs(writeFile("plain.mp3", audio)), expected);
    // Tags around the audio are not played.
    EXPECT_EQ(Mp3LaengeMs(writeFile("tagged.mp3", mpeg::id3v2Tag(3, 4096) + audio + mpeg::id3v1Tag("T"))), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Mp3LengthOfSyntheticFiles,
    ::testing::Values(LengthCase{"Mpeg1Layer3", {}, 100},
                      LengthCase{"Mpeg2Layer3Mono", mpeg::format(Version::Mpeg2, 3, 64, 22050, Mode::Mono), 100},
                      LengthCase{"Mpeg25Layer3", mpeg::format(Version::Mpeg25, 3, 32, 8000), 50},
                      LengthCase{"Mpeg1Layer2", mpeg::format(Version::Mpeg1, 2, 192, 48000, Mode::Stereo), 100},
                      LengthCase{"Mpeg1Layer1", mpeg::format(Version::Mpeg1, 1, 256, 32000), 100}),
    [](const auto &info) { return std::string(info.param.name); });

// Files joined from pieces of other sample rates: each piece lasts as long as its own frames say,
// and the decoder plays all of it at the first rate.
struct JoinedCase {
    const char *name;
    FrameSpec first;
    int firstFrames;
    FrameSpec second;
    int secondFrames;
};

void PrintTo(const JoinedCase &c, std::ostream *os)
{
    *os << c.name;
}

class Mp3LengthOfJoinedRates : public TempDirTest, public ::testing::WithParamInterface<JoinedCase> {};

TEST_P(Mp3LengthOfJoinedRates, CountsEachPieceAtItsOwnRate)
{
    const JoinedCase &c = GetParam();
    const QString file = writeFile("joined.mp3", mpeg::frames(c.first, c.firstFrames, true)
                                                     + mpeg::frames(c.second, c.secondFrames, true));
    const double expected = mpeg::durationMs(c.first, c.firstFrames) + mpeg::durationMs(c.second, c.secondFrames);
    EXPECT_NEAR(double(Mp3LaengeMs(file)), expected, 2.0);

    TMpgDecoder decoder;
    ASSERT_EQ(decoder.open(file), TMpgDecoder::OpenResult::Ok);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    const auto playedMs = [&] {
        qint64 decoded = 0;
        while (const qint64 bytes = decoder.read(buffer.data(), buffer.size()))
            decoded += bytes / TMpgDecoder::bytesPerFrame;
        return double(decoder.samplesToMs(decoded));
    };
    EXPECT_NEAR(playedMs(), expected, 2.0);
    // A position inside the second piece plays what is left of it.
    ASSERT_TRUE(decoder.seek(decoder.msToSamples(qint64(expected) - 500)));
    EXPECT_NEAR(playedMs(), 500.0, 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, Mp3LengthOfJoinedRates,
    ::testing::Values(JoinedCase{"Then22k", {}, 50, mpeg::format(Version::Mpeg2, 3, 64, 22050), 100},
                      JoinedCase{"22kThen44k", mpeg::format(Version::Mpeg2, 3, 64, 22050), 100, {}, 50},
                      JoinedCase{"Then48k", {}, 50, mpeg::format(Version::Mpeg1, 3, 128, 48000), 50}),
    [](const auto &info) { return std::string(info.param.name); });

class Mp3Length : public TempDirTest {};

TEST_F(Mp3Length, XingFrameIsNotAudio)
{
    const FrameSpec mp3;
    mpeg::XingSpec xing;
    xing.frameCount = 80;
    const QByteArray file = mpeg::xingFrame(mp3, xing) + mpeg::frames(mp3, 80, true);
    EXPECT_EQ(Mp3LaengeMs(writeFile("xing.mp3", file)), qint64(std::floor(mpeg::durationMs(mp3, 80))));
}

TEST_F(Mp3Length, PieceCutInsideFramesAtBothEnds)
{
    const FrameSpec mp3;
    const QByteArray audio = mpeg::frames(mp3, 100, true);
    const QByteArray piece = audio.mid(300, audio.size() - 300 - 200);
    const qint64 length = Mp3LaengeMs(writeFile("piece.mp3", piece));
    EXPECT_GE(length, qint64(mpeg::durationMs(mp3, 97)));
    EXPECT_LE(length, qint64(mpeg::durationMs(mp3, 99)) + 1);
}

// Lengths the scan has always given for joined files; they decide where marks cut.
TEST_F(Mp3Length, JoinedRatesKeepTheirExactLength)
{
    const FrameSpec mp3;
    const FrameSpec k22 = mpeg::format(Version::Mpeg2, 3, 64, 22050);
    const FrameSpec k48 = mpeg::format(Version::Mpeg1, 3, 128, 48000);
    const FrameSpec k24 = mpeg::format(Version::Mpeg2, 3, 64, 24000);
    struct Fall {
        const char *name;
        QByteArray audio;
        qint64 ms;
    };
    const Fall faelle[] = {
        {"44.1 then 22.05", mpeg::frames(mp3, 50, true) + mpeg::frames(k22, 100, true), 3918},
        {"22.05 then 44.1", mpeg::frames(k22, 100, true) + mpeg::frames(mp3, 50, true), 3918},
        {"44.1 then 48", mpeg::frames(mp3, 50, true) + mpeg::frames(k48, 50, true), 2506},
        {"four runs", mpeg::frames(mp3, 3000, true) + mpeg::frames(k48, 3000, true) + mpeg::frames(k24, 2000, true)
                          + mpeg::frames(mp3, 1000, true), 224489},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(Mp3LaengeMs(writeFile("joined.mp3", f.audio)), f.ms) << f.name;
}

// Unbroken runs of frames are counted without mpg123's help; anything irregular after them (here
// bytes that are no frame) leaves the counting to mpg123. Both must agree.
TEST_F(Mp3Length, RegularFilesCountAsMpg123CountsThem)
{
    const FrameSpec mp3;
    const FrameSpec m2 = mpeg::format(Version::Mpeg2, 3, 64, 22050, Mode::Mono);
    const FrameSpec m25 = mpeg::format(Version::Mpeg25, 3, 32, 8000);
    FrameSpec fast = mp3;
    fast.bitrate = 320;
    struct Fall {
        const char *name;
        QByteArray audio;
    };
    const Fall faelle[] = {
        {"MPEG-1 of two bit rates", mpeg::frames(mp3, 300, true) + mpeg::frames(fast, 200, true)},
        {"MPEG-2", mpeg::frames(m2, 400, true)},
        {"MPEG-2.5", mpeg::frames(m25, 100, true)},
    };
    for (const Fall &f : faelle) {
        const qint64 regular = Mp3LaengeMs(writeFile("regular.mp3", f.audio));
        EXPECT_GT(regular, 0) << f.name;
        EXPECT_EQ(Mp3LaengeMs(writeFile("junk.mp3", f.audio + mpeg::junk(300))), regular) << f.name;
    }
}

// A stretch of a file counts as a file holding only its bytes, so the command line can measure
// the audio between the tags without copying it out.
TEST_F(Mp3Length, StretchOfAFileCountsLikeAFileOfItsBytes)
{
    const FrameSpec mp3;
    const QByteArray audio = mpeg::frames(mp3, 60, true) + mpeg::frames(mpeg::format(Version::Mpeg2, 3, 64, 22050), 40, true);
    const QByteArray v2 = mpeg::id3v2Tag(3, 4096);
    const QString tagged = writeFile("tagged.mp3", v2 + audio + mpeg::id3v1Tag("T"));
    struct Fall {
        qint64 start;
        qint64 count;
    };
    const Fall faelle[] = {{v2.size(), audio.size()}, {v2.size() + 300, audio.size() - 700}, {v2.size(), 5000},
                           {v2.size() + 1000, 0}, {0, v2.size()}};
    for (const Fall &f : faelle) {
        const qint64 expected = Mp3LaengeMs(writeFile("alone.mp3", (v2 + audio).mid(f.start, f.count)));
        EXPECT_EQ(Mp3LaengeMs(tagged, f.start, f.count), expected) << f.start << " " << f.count;
    }
    EXPECT_GT(Mp3LaengeMs(tagged, v2.size(), audio.size()), 0);
}

TEST_F(Mp3Length, UnplayableFilesGiveMinusOne)
{
    EXPECT_EQ(Mp3LaengeMs(path("missing.mp3")), -1);
    EXPECT_EQ(Mp3LaengeMs(QString()), -1);
    EXPECT_EQ(Mp3LaengeMs(writeFile("empty.mp3", {})), -1);
    EXPECT_EQ(Mp3LaengeMs(writeFile("text.mp3", QByteArray("Dies ist keine MP3-Datei.\n").repeated(400))), -1);
    EXPECT_EQ(Mp3LaengeMs(writeFile("junk.mp3", mpeg::junk(20000))), -1);
    EXPECT_EQ(Mp3LaengeMs(writeFile("tagonly.mp3", mpeg::id3v2Tag(3, 1024) + mpeg::id3v1Tag("T"))), -1);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.mp3"));
    EXPECT_EQ(Mp3LaengeMs(path("folder.mp3")), -1);
}

struct EncodedCase {
    const char *name;
    bool lame;
    QStringList options;
};

void PrintTo(const EncodedCase &c, std::ostream *os)
{
    *os << c.name;
}


class Mp3LengthOfEncodedFiles : public TempDirTest, public ::testing::WithParamInterface<EncodedCase> {};

TEST_P(Mp3LengthOfEncodedFiles, AgreesWithFfprobe)
{
    if (!encodersAvailable())
        GTEST_SKIP() << "ffmpeg, ffprobe or lame missing";
    const EncodedCase &c = GetParam();
    const QString file = path("real.mp3");
    ASSERT_TRUE(c.lame ? encodeWithLame(file, path("real.wav"), 3.2, c.options) : encodeWithFfmpeg(file, 3.2, c.options));
    const double oracle = ffprobeDurationMs(file);
    ASSERT_GT(oracle, 0);
    EXPECT_NEAR(double(Mp3LaengeMs(file)), oracle, 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    Encoders, Mp3LengthOfEncodedFiles,
    ::testing::Values(EncodedCase{"FfmpegCbr", false, {"-b:a", "128k"}},
                      EncodedCase{"FfmpegVbrMono22k", false, {"-ar", "22050", "-ac", "1", "-q:a", "5"}},
                      EncodedCase{"LameVbr", true, {"-V", "4"}},
                      EncodedCase{"LameCbrMono32k", true, {"-b", "64", "--resample", "32", "-m", "m"}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
