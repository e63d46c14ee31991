// Splits of files made by lame at test time, read back by ffprobe, mpg123 and a frame walk of
// the test's own.

#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>

namespace {

struct Fall {
    const char *name;
    int rate;     // Hz
    int channels;
    QStringList lame; // encoder options
    bool header;      // the encoder writes its Xing/Info frame with a LAME extension
};

struct Walk {
    bool clean = false; // frames of one kind from the first byte to the last
    qint64 frames = 0;  // audio frames, a header frame not counted
    int spf = 0;
    int rate = 0;
    QByteArray headerTag; // "Xing" or "Info" when the first frame is a header frame
    quint32 xingFrames = 0;
    quint32 xingBytes = 0;
    bool lame = false;
    bool lameCrcRight = false;
    int delay = -1;
    int padding = -1;
    double seconds() const { return rate ? double(frames) * spf / rate : 0; }
};

quint16 crc16(const uchar *p, int n)
{
    quint16 crc = 0;
    while (n-- > 0) {
        crc ^= *p++;
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

// Layer III frames only, as lame writes them.
Walk walk(const QByteArray &file)
{
    static const int mpeg1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int mpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    Walk w;
    const auto *d = reinterpret_cast<const uchar *>(file.constData());
    const qint64 n = file.size();
    qint64 p = 0;
    int kind = -1;
    bool first = true;
    while (p + 4 <= n) {
        if (d[p] != 0xFF || (d[p + 1] & 0xE0) != 0xE0 || ((d[p + 1] >> 1) & 3) != 1)
            return w;
        const int v = (d[p + 1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
        const int bi = d[p + 2] >> 4, si = (d[p + 2] >> 2) & 3;
        if (v == 1 || bi == 0 || bi == 15 || si == 3)
            return w;
        const int row = v == 3 ? 0 : v == 2 ? 1 : 2;
        const int rate = rates[row][si];
        const int kbit = v == 3 ? mpeg1[bi] : mpeg2[bi];
        const int len = (v == 3 ? 144000 : 72000) * kbit / rate + ((d[p + 2] >> 1) & 1);
        if ((kind >= 0 && kind != (v << 2 | si)) || p + len > n)
            return w;
        kind = v << 2 | si;
        w.spf = v == 3 ? 1152 : 576;
        w.rate = rate;
        const bool mono = (d[p + 3] >> 6) == 3;
        const int o = int(p) + (v == 3 ? (mono ? 21 : 36) : (mono ? 13 : 21));
        const QByteArray tag = file.mid(o, 4);
        if (first && (tag == "Xing" || tag == "Info")) {
            w.headerTag = tag;
            const quint32 flags = qFromBigEndian<quint32>(d + o + 4);
            int q = o + 8;
            if (flags & 1)
                w.xingFrames = qFromBigEndian<quint32>(d + q), q += 4;
            if (flags & 2)
                w.xingBytes = qFromBigEndian<quint32>(d + q), q += 4;
            q += (flags & 4) ? 100 : 0;
            q += (flags & 8) ? 4 : 0;
            if (file.mid(q, 4) == "LAME" || file.mid(q, 4) == "Lavc") {
                w.lame = true;
                w.lameCrcRight = crc16(d + p, q + 34 - int(p)) == qFromBigEndian<quint16>(d + q + 34);
                w.delay = (d[q + 21] << 4) | (d[q + 22] >> 4);
                w.padding = ((d[q + 22] & 15) << 8) | d[q + 23];
            }
        } else {
            ++w.frames;
        }
        first = false;
        p += len;
    }
    w.clean = p == n;
    return w;
}

struct Lauf {
    int code = -1;
    QString out, err;
};

Lauf ausfuehren(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

double ffprobeSeconds(const QString &file)
{
    const Lauf r = ausfuehren(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                                  QStringLiteral("format=duration"), QStringLiteral("-of"),
                                                  QStringLiteral("csv=p=0"), file});
    bool ok = false;
    const double s = r.out.trimmed().toDouble(&ok);
    return ok ? s : -1;
}

// Sound whose loudness and noise change every half second, so a VBR encoder varies its rate.
QByteArray pcm(int rate, int channels, double seconds)
{
    const qint64 n = qint64(rate * seconds);
    QByteArray b(n * channels * 2, Qt::Uninitialized);
    auto *s = reinterpret_cast<qint16 *>(b.data());
    quint32 x = 12345;
    for (qint64 i = 0; i < n; ++i) {
        const qint64 halb = i * 2 / rate;
        const double a = (halb % 3 == 0) ? 0.02 : 0.3;
        x = x * 1664525u + 1013904223u;
        const double noise = (halb % 4 == 1) ? (double(x >> 8) / double(1 << 24) - 0.5) * 0.4 : 0;
        const double v = a * std::sin(2 * M_PI * (220 + 40 * (halb % 7)) * double(i) / rate) + noise;
        for (int c = 0; c < channels; ++c)
            s[i * channels + c] = qint16(std::lround(qBound(-1.0, v, 1.0) * 32000));
    }
    return b;
}

class FrameCut : public TempDirTest, public ::testing::WithParamInterface<Fall> {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (const char *tool : {"lame", "ffprobe", "mpg123"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " missing";
    }

    // Encodes 12 seconds; returns the file's path.
    QString encode()
    {
        const Fall &c = GetParam();
        const QString raw = writeFile(QStringLiteral("ton.raw"), pcm(c.rate, c.channels, 12.0));
        const QString mp3 = path(QStringLiteral("buch.mp3"));
        QStringList args{QStringLiteral("-r"), QStringLiteral("--quiet"), QStringLiteral("-s"),
                         QString::number(c.rate / 1000.0), QStringLiteral("--bitwidth"), QStringLiteral("16"),
                         QStringLiteral("-m"), c.channels == 1 ? QStringLiteral("m") : QStringLiteral("j")};
        args << c.lame << raw << mp3;
        const Lauf r = ausfuehren(QStringLiteral("lame"), args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return mp3;
    }

    QStringList split(const QString &mp3, const QStringList &how)
    {
        for (const QString &f : QDir(dir.path()).entryList({QStringLiteral("buch_*")}))
            QFile::remove(path(f));
        const Lauf r = ausfuehren(QStringLiteral(ZINDARA_CLI), QStringList{QStringLiteral("split"), mp3} + how);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        memo = r.out;
        QStringList pieces;
        for (const QString &f : QDir(dir.path()).entryList({QStringLiteral("buch_*.mp3")}, QDir::Files, QDir::Name))
            pieces << path(f);
        return pieces;
    }

    // What every piece must be, whatever the split; returns the walks.
    std::vector<Walk> checkPieces(const QStringList &pieces, const Walk &source)
    {
        std::vector<Walk> walks;
        qint64 frames = 0;
        for (int k = 0; k < pieces.size(); ++k) {
            const QString &f = pieces[k];
            SCOPED_TRACE(f.toStdString());
            const QByteArray bytes = readFile(f);
            const Walk w = walk(bytes);
            EXPECT_TRUE(w.clean) << "frames walked to the last byte";
            const double probe = ffprobeSeconds(f);
            EXPECT_NEAR(probe, w.seconds(), 0.15);
            const Lauf m = ausfuehren(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-t"), f});
            EXPECT_EQ(m.code, 0);
            EXPECT_EQ(m.err.trimmed(), QString()) << "mpg123 decodes without a message";
            if (!source.headerTag.isEmpty() || source.frames > 0) {
                const bool wantHeader = !source.headerTag.isEmpty() || GetParam().lame.contains(QStringLiteral("-V"));
                if (wantHeader) {
                    EXPECT_FALSE(w.headerTag.isEmpty()) << "a header frame of its own";
                    EXPECT_EQ(qint64(w.xingFrames), w.frames);
                    EXPECT_EQ(qint64(w.xingBytes), bytes.size());
                }
            }
            EXPECT_EQ(w.lame, source.lame);
            if (w.lame) {
                EXPECT_TRUE(w.lameCrcRight);
                EXPECT_EQ(w.delay, k == 0 ? source.delay : 0);
                EXPECT_EQ(w.padding, k == pieces.size() - 1 ? source.padding : 0);
            }
            frames += w.frames;
            walks.push_back(w);
        }
        EXPECT_EQ(frames, source.frames) << "no frame lost, none doubled";
        return walks;
    }

    QString memo;
};

TEST_P(FrameCut, PiecesByTimeAtMarksAndBySizeReadRightInPlayers)
{
    const QString mp3 = encode();
    const Walk source = walk(readFile(mp3));
    ASSERT_TRUE(source.clean);
    ASSERT_EQ(!source.headerTag.isEmpty(), GetParam().header);
    if (GetParam().header) {
        ASSERT_TRUE(source.lameCrcRight) << "the test's CRC is lame's";
    }
    const double frame = double(source.spf) / source.rate;

    {
        SCOPED_TRACE("by time");
        const std::vector<Walk> w = checkPieces(split(mp3, {QStringLiteral("--seconds"), QStringLiteral("4")}), source);
        ASSERT_GE(w.size(), 2u);
        for (size_t k = 1; k + 1 < w.size(); ++k)
            EXPECT_EQ(w[k].frames, w[0].frames);
        EXPECT_NEAR(w[0].seconds(), 4.0, 4.0 * 0.06) << "as long as asked, give or take the last piece's share";
    }
    {
        SCOPED_TRACE("at marks");
        const std::vector<Walk> w = checkPieces(
            split(mp3, {QStringLiteral("--mark"), QStringLiteral("0:00:03,100"), QStringLiteral("--mark"),
                        QStringLiteral("7500")}),
            source);
        ASSERT_EQ(w.size(), 3u);
        EXPECT_NEAR(w[0].seconds(), 3.1, frame);
        EXPECT_NEAR(w[0].seconds() + w[1].seconds(), 7.5, frame);

        SCOPED_TRACE("joined again");
        const QString ganz = path(QStringLiteral("ganz.mp3"));
        const QStringList pieces = QDir(dir.path()).entryList({QStringLiteral("buch_*.mp3")}, QDir::Files, QDir::Name);
        QStringList args{QStringLiteral("join"), QStringLiteral("-o"), ganz};
        for (const QString &f : pieces)
            args << path(f);
        ASSERT_EQ(ausfuehren(QStringLiteral(ZINDARA_CLI), args).code, 0);
        const QByteArray bytes = readFile(ganz);
        const Walk j = walk(bytes);
        EXPECT_TRUE(j.clean);
        EXPECT_EQ(j.frames, source.frames) << "the pieces' header frames left out";
        EXPECT_NEAR(ffprobeSeconds(ganz), j.seconds(), 0.15);
        EXPECT_EQ(ausfuehren(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-t"), ganz}).err.trimmed(), QString());
        if (!w[0].headerTag.isEmpty()) {
            EXPECT_EQ(qint64(j.xingFrames), j.frames);
            EXPECT_EQ(qint64(j.xingBytes), bytes.size());
            EXPECT_EQ(j.lame, source.lame);
            if (j.lame) {
                EXPECT_TRUE(j.lameCrcRight);
                EXPECT_EQ(j.delay, source.delay);
                EXPECT_EQ(j.padding, source.padding);
            }
        }
    }
    {
        SCOPED_TRACE("by size with overlap");
        const QStringList pieces = split(mp3, {QStringLiteral("--kb"), QStringLiteral("40"), QStringLiteral("--overlap"),
                                               QStringLiteral("1")});
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Bytes pro Datei: ([0-9.]+)")).match(memo);
        ASSERT_TRUE(m.hasMatch());
        const qint64 limit = m.captured(1).remove(QLatin1Char('.')).toLongLong();
        qint64 frames = 0;
        for (int k = 0; k < pieces.size(); ++k) {
            const QByteArray bytes = readFile(pieces[k]);
            const Walk w = walk(bytes);
            EXPECT_TRUE(w.clean);
            const qint64 overlap = k == 0 ? 0 : qint64(std::lround(1.0 / frame));
            EXPECT_LE(bytes.size(), limit + overlap * 1500) << "the new frames fit the size";
            frames += w.frames - overlap;
            EXPECT_NEAR(ffprobeSeconds(pieces[k]), w.seconds(), 0.15);
        }
        EXPECT_EQ(frames, source.frames);
    }
}

const Fall faelle[] = {
    {"Mpeg1StereoVbr", 44100, 2, {QStringLiteral("-V"), QStringLiteral("4")}, true},
    {"Mpeg1StereoCbr", 44100, 2, {QStringLiteral("-b"), QStringLiteral("128")}, true},
    {"Mpeg1MonoVbrWithoutTag", 32000, 1, {QStringLiteral("-V"), QStringLiteral("5"), QStringLiteral("-t")}, false},
    {"Mpeg2MonoVbr", 22050, 1, {QStringLiteral("-V"), QStringLiteral("6")}, true},
    {"Mpeg2StereoCbrWithoutTag", 24000, 2, {QStringLiteral("-b"), QStringLiteral("64"), QStringLiteral("-t")}, false},
    {"Mpeg25MonoCbr", 8000, 1, {QStringLiteral("-b"), QStringLiteral("16")}, false}, // too small a frame for lame's tag
    {"Mpeg25StereoVbr", 11025, 2, {QStringLiteral("-V"), QStringLiteral("7")}, true},
};

INSTANTIATE_TEST_SUITE_P(Lame, FrameCut, ::testing::ValuesIn(faelle),
                         [](const ::testing::TestParamInfo<Fall> &i) { return std::string(i.param.name); });

} // namespace
