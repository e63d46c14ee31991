#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

struct DecodeCase {
    const char *name;
    mpeg::FrameSpec spec;
    int frameCount;
};

class MpegBuilderDecodes : public TempDirTest, public ::testing::WithParamInterface<DecodeCase> {};

// Decodes with mpg123 into raw 16-bit samples; returns the samples per channel, -1 on failure.
qint64 decodedSamples(const QString &file, int channels, QString *errors)
{
    QProcess p;
    p.start(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("--no-gapless"), QStringLiteral("-s"), file});
    if (!p.waitForFinished(60000))
        return -1;
    *errors = QString::fromLocal8Bit(p.readAllStandardError());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return p.readAllStandardOutput().size() / (2 * channels);
}

TEST_P(MpegBuilderDecodes, DecodesWithoutErrorsForItsFullLength)
{
    if (QStandardPaths::findExecutable(QStringLiteral("mpg123")).isEmpty())
        GTEST_SKIP() << "mpg123 missing";
    const DecodeCase &c = GetParam();
    const int channels = c.spec.mode == mpeg::Mode::Mono ? 1 : 2;
    const QByteArray audio = mpeg::frames(c.spec, c.frameCount, true);
    const QByteArray file = mpeg::id3v2Tag(3, 2048) + audio + mpeg::id3v1Tag(QStringLiteral("Titel"));
    QString errors;
    const qint64 samples = decodedSamples(writeFile("a.mp3", file), channels, &errors);
    EXPECT_FALSE(errors.contains(QStringLiteral("rror")) || errors.contains(QStringLiteral("arning")))
        << errors.toStdString();
    const qint64 expected = qint64(c.frameCount) * mpeg::samplesPerFrame(c.spec);
    EXPECT_EQ(samples, expected);
    EXPECT_NEAR(mpeg::durationMs(c.spec, c.frameCount), samples * 1000.0 / c.spec.sampleRate, 0.5);
}

using mpeg::Mode;
using mpeg::Version;
INSTANTIATE_TEST_SUITE_P(
    Formats, MpegBuilderDecodes,
    ::testing::Values(DecodeCase{"m1l3", mpeg::format(Version::Mpeg1, 3, 128, 44100, Mode::JointStereo), 200},
                      DecodeCase{"m1l3monoCrc", mpeg::format(Version::Mpeg1, 3, 32, 32000, Mode::Mono, true), 50},
                      DecodeCase{"m1l3stereo320", mpeg::format(Version::Mpeg1, 3, 320, 48000, Mode::Stereo), 50},
                      DecodeCase{"m2l3", mpeg::format(Version::Mpeg2, 3, 64, 22050, Mode::JointStereo), 100},
                      DecodeCase{"m25l3mono", mpeg::format(Version::Mpeg25, 3, 32, 11025, Mode::Mono), 60},
                      DecodeCase{"m1l2", mpeg::format(Version::Mpeg1, 2, 192, 48000, Mode::Stereo), 80},
                      DecodeCase{"m2l2", mpeg::format(Version::Mpeg2, 2, 64, 24000, Mode::Mono), 40},
                      DecodeCase{"m1l1", mpeg::format(Version::Mpeg1, 1, 384, 44100, Mode::Stereo), 100}),
    [](const auto &info) { return std::string(info.param.name); });

class MpegBuilderTest : public TempDirTest {};

TEST_F(MpegBuilderTest, FrameLengthsFollowTheStandards)
{
    const std::tuple<mpeg::FrameSpec, int> cases[] = {
        {mpeg::format(Version::Mpeg1, 3, 128, 44100, Mode::Stereo), 417},
        {mpeg::format(Version::Mpeg1, 3, 320, 48000, Mode::Stereo), 960},
        {mpeg::format(Version::Mpeg2, 3, 64, 22050, Mode::Stereo), 208},
        {mpeg::format(Version::Mpeg1, 1, 384, 44100, Mode::Stereo), 416},
        {mpeg::format(Version::Mpeg1, 2, 192, 48000, Mode::Stereo), 576},
    };
    for (const auto &[s, len] : cases) {
        EXPECT_EQ(mpeg::frameLength(s), len);
        EXPECT_EQ(mpeg::frame(s).size(), len);
    }
}

TEST_F(MpegBuilderTest, XingFrameIsSkippedByTheDecoder)
{
    if (QStandardPaths::findExecutable(QStringLiteral("mpg123")).isEmpty())
        GTEST_SKIP() << "mpg123 missing";
    const auto s = mpeg::format(Version::Mpeg1, 3, 128, 44100, Mode::JointStereo);
    mpeg::XingSpec x;
    x.frameCount = 100;
    x.byteCount = 100 * 417;
    x.toc = true;
    const QByteArray first = mpeg::xingFrame(s, x);
    ASSERT_EQ(first.size(), 417);
    EXPECT_EQ(first.mid(36, 4), QByteArray("Xing"));
    QString errors;
    const qint64 samples =
        decodedSamples(writeFile("x.mp3", mpeg::junk(300) + first + mpeg::frames(s, 100)), 2, &errors);
    EXPECT_EQ(samples, 100 * 1152);
}

TEST_F(MpegBuilderTest, TagsAndJunkHaveTheirSizes)
{
    EXPECT_EQ(mpeg::id3v2Tag(3, 4096).size(), 4096);
    EXPECT_EQ(mpeg::id3v2Tag(4, 4096, true).size(), 4106);
    const QByteArray t = mpeg::id3v2Tag(3, 10 + 300);
    EXPECT_EQ(t.mid(6, 4), QByteArray("\x00\x00\x02\x2C", 4)); // 300 as a synchsafe number
    const QByteArray v1 = mpeg::id3v1Tag(QStringLiteral("T"), {}, {}, QStringLiteral("2001"), {}, 7, 12);
    EXPECT_EQ(v1.size(), 128);
    EXPECT_EQ(v1.left(4), QByteArray("TAGT"));
    EXPECT_EQ(quint8(v1[126]), 7);
    EXPECT_EQ(quint8(v1[127]), 12);
    EXPECT_FALSE(mpeg::junk(100000, 7).contains(char(0xFF)));
}

} // namespace
