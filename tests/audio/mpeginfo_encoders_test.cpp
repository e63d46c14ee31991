// Files from real encoders, measured against an independent decoder.

#include "audio/mpeginfo.h"
#include "support/tempdir.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>

namespace {

struct EncoderCase {
    const char *name;
    const char *tool; // "lame" or "ffmpeg"
    int rate;
    int channels;
    QStringList options; // between input and output
    int version;
    int layer;
    int bitrate; // constant bit rate the encoder was told; 0 for variable bit rate
    bool vbr;
};

constexpr double SineSeconds = 6.7;

bool run(const QString &program, const QStringList &args, QString *log)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *log = QString::fromLocal8Bit(p.readAll());
    return ok;
}

// Playing time as mpg123 decodes it, from the WAV file it writes; -1 when that fails.
double decodedSeconds(const QString &mp3, const QString &wav, QString *log)
{
    if (!run(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), wav, mp3}, log))
        return -1;
    QFile f(wav);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF"))
        return -1;
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const int channels = u16(22);
    const quint32 rate = u32(24);
    const int bits = u16(34);
    const qsizetype data = bytes.indexOf("data", 12);
    if (data < 0 || rate == 0 || channels == 0 || bits == 0)
        return -1;
    const qint64 payload = bytes.size() - (data + 8);
    return double(payload) / (channels * (bits / 8)) / rate;
}

class MpegInfoEncoders : public TempDirTest, public ::testing::WithParamInterface<EncoderCase> {
};

TEST_P(MpegInfoEncoders, AgreesWithTheEncoderAndTheDecoder)
{
    const EncoderCase &c = GetParam();
    for (const char *tool : {"ffmpeg", "mpg123", c.tool})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " missing";

    QString log;
    const QString wav = path("sine.wav");
    ASSERT_TRUE(run(QStringLiteral("ffmpeg"),
                    {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                     QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                     QStringLiteral("sine=frequency=440:duration=%1:sample_rate=%2").arg(SineSeconds).arg(c.rate),
                     QStringLiteral("-ac"), QString::number(c.channels), wav},
                    &log))
        << log.toStdString();

    const QString mp3 = path("out.mp3");
    QStringList args;
    if (QLatin1String(c.tool) == QLatin1String("lame"))
        args << QStringLiteral("--quiet") << c.options << wav << mp3;
    else
        args << QStringLiteral("-hide_banner") << QStringLiteral("-loglevel") << QStringLiteral("error")
             << QStringLiteral("-i") << wav << c.options << mp3;
    ASSERT_TRUE(run(QString::fromLatin1(c.tool), args, &log)) << log.toStdString();

    const double seconds = decodedSeconds(mp3, path("decoded.wav"), &log);
    ASSERT_GT(seconds, 0) << log.toStdString();

    TMpegInfo info;
    ASSERT_EQ(info.LoadFromFile(mp3), MP3ERR_None);
    EXPECT_EQ(info.Version(), c.version);
    EXPECT_EQ(info.Layer(), c.layer);
    EXPECT_EQ(info.Samplerate(), c.rate);
    EXPECT_EQ(info.Channelmode() == 3, c.channels == 1);
    EXPECT_EQ(info.Vbr(), c.vbr);
    EXPECT_LE(std::abs(info.Dauer() - seconds), 1.0) << "decoder: " << seconds << " s";
    if (c.bitrate) {
        EXPECT_EQ(info.Bitrate(), c.bitrate);
    } else {
        // lame does not reach an average it is told on a sine, so compare with the file itself.
        const double average = info.Filesize() * 8 / seconds / 1000;
        EXPECT_NEAR(info.Bitrate(), average, average * 0.1);
    }
}

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MpegInfoEncoders,
    ::testing::Values(
        EncoderCase{"lameCbrStereo", "lame", 44100, 2, words("-b 128"), 1, 3, 128, false},
        EncoderCase{"lameCbrMono32k", "lame", 32000, 1, words("-b 64"), 1, 3, 64, false},
        EncoderCase{"lameCbrWithoutInfoFrame", "lame", 48000, 2, words("-t -b 192"), 1, 3, 192, false},
        EncoderCase{"lameMpeg2Mono", "lame", 22050, 1, words("-b 32"), 2, 3, 32, false},
        EncoderCase{"lameMpeg25Stereo", "lame", 11025, 2, words("-b 24 --resample 11.025"), 3, 3, 24, false},
        EncoderCase{"lameMpeg25Mono8k", "lame", 8000, 1, words("-b 8"), 3, 3, 8, false},
        EncoderCase{"lameVbr", "lame", 44100, 2, words("-V 4"), 1, 3, 0, true},
        EncoderCase{"lameAbr", "lame", 44100, 2, words("--abr 96 --resample 44.1"), 1, 3, 0, true},
        EncoderCase{"lameVbrMpeg2", "lame", 24000, 1, words("-V 6"), 2, 3, 0, true},
        EncoderCase{"lameVbrMpeg25", "lame", 12000, 2, words("-V 5 --resample 12"), 3, 3, 0, true},
        EncoderCase{"ffmpegCbr", "ffmpeg", 48000, 2, words("-c:a libmp3lame -b:a 160k"), 1, 3, 160, false},
        EncoderCase{"ffmpegVbrMpeg2", "ffmpeg", 16000, 1, words("-c:a libmp3lame -q:a 5"), 2, 3, 0, true},
        EncoderCase{"ffmpegShine", "ffmpeg", 44100, 2, words("-c:a libshine -b:a 128k"), 1, 3, 128, false},
        EncoderCase{"ffmpegLayer2", "ffmpeg", 48000, 2, words("-c:a mp2 -b:a 192k -f mp2"), 1, 2, 192, false},
        EncoderCase{"ffmpegLayer2Mono", "ffmpeg", 32000, 1, words("-c:a mp2 -b:a 56k -f mp2"), 1, 2, 56, false},
        EncoderCase{"ffmpegLayer2Mpeg2", "ffmpeg", 24000, 1, words("-c:a mp2 -b:a 64k -f mp2"), 2, 2, 64, false},
        EncoderCase{"twolameLayer2", "ffmpeg", 44100, 2, words("-c:a libtwolame -b:a 224k -f mp2"), 1, 2, 224, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
