// Opening a file writes its working copy while the same bytes of the file are scanned; the
// decoder that comes out must play the copy exactly as one opened on the copy itself.
#include "decoder/mp3length.h"
#include "decoder/mpgdecoder.h"
#include "decoder/workingcopyopen.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QDir>

namespace {

using mpeg::Version;

class WorkingCopyOpen : public TempDirTest {
protected:
    // Every sample from `sample` on.
    static QByteArray pcmFrom(TMpgDecoder &decoder, qint64 sample)
    {
        EXPECT_TRUE(decoder.seek(sample));
        QByteArray pcm, block(65536, Qt::Uninitialized);
        for (qint64 n; (n = decoder.read(block.data(), block.size())) > 0;)
            pcm.append(block.constData(), n);
        return pcm;
    }
};

TEST_F(WorkingCopyOpen, TheScannedDecoderPlaysTheCopyAsItsOwnDecoderWould)
{
    const mpeg::FrameSpec mp3;
    const QByteArray audio = mpeg::frames(mp3, 400, true);
    const QByteArray joined = mpeg::frames(mp3, 200, true) + mpeg::frames(mpeg::format(Version::Mpeg2, 3, 64, 22050), 300, true);
    struct Fall {
        const char *name;
        QByteArray datei;
    };
    const Fall faelle[] = {
        {"plain", audio},
        {"both tags", mpeg::id3v2Tag(3, 4096) + audio + mpeg::id3v1Tag("T")},
        {"v2.4 with footer", mpeg::id3v2Tag(4, 300, true) + audio},
        {"junk behind the frames", mpeg::id3v2Tag(3, 100) + audio + mpeg::junk(3000)},
        {"cut inside frames", audio.mid(300, audio.size() - 500)},
        {"joined sample rates", mpeg::id3v2Tag(3, 1000) + joined + mpeg::id3v1Tag()},
    };
    for (const Fall &f : faelle) {
        const QString quelle = writeFile(QStringLiteral("in.mp3"), f.datei);
        const QString kopie = path(QStringLiteral("TmpZinS1.mp3"));
        TGeoeffneteKopie k = ArbeitskopieOeffnen(quelle, kopie);
        ASSERT_TRUE(k.kopiert) << f.name;
        ASSERT_TRUE(k.decoder) << f.name;
        TMpgDecoder eigen;
        ASSERT_EQ(eigen.open(kopie), TMpgDecoder::OpenResult::Ok) << f.name;
        EXPECT_EQ(k.decoder->lengthSamples(), eigen.lengthSamples()) << f.name;
        EXPECT_EQ(k.decoder->rate(), eigen.rate()) << f.name;
        EXPECT_EQ(Mp3LaengeMs(*k.decoder), Mp3LaengeMs(kopie)) << f.name;
        // Its reads come from the copy: the original may go.
        ASSERT_TRUE(QFile::remove(quelle));
        for (const qint64 sample : {qint64(0), eigen.lengthSamples() / 3, eigen.lengthSamples() - 1000})
            EXPECT_TRUE(pcmFrom(*k.decoder, sample) == pcmFrom(eigen, sample)) << f.name << " from " << sample;
    }
}

TEST_F(WorkingCopyOpen, NoDecoderWhereThereIsNothingToPlayOrNoCopy)
{
    const QByteArray audio = mpeg::frames({}, 100, true);
    const QString gut = writeFile(QStringLiteral("gut.mp3"), audio);
    struct Fall {
        const char *name;
        QString quelle;
        QString kopie;
        bool kopiert;
    };
    const Fall faelle[] = {
        {"only tags", writeFile(QStringLiteral("tags.mp3"), mpeg::id3v2Tag(3, 500) + mpeg::id3v1Tag()),
         path(QStringLiteral("k1.mp3")), true},
        {"no audio", writeFile(QStringLiteral("junk.mp3"), mpeg::junk(20000)), path(QStringLiteral("k2.mp3")), true},
        {"missing file", path(QStringLiteral("weg.mp3")), path(QStringLiteral("k3.mp3")), false},
        {"copy into a missing folder", gut, path(QStringLiteral("nirgends/k4.mp3")), false},
    };
    for (const Fall &f : faelle) {
        const TGeoeffneteKopie k = ArbeitskopieOeffnen(f.quelle, f.kopie);
        EXPECT_EQ(k.kopiert, f.kopiert) << f.name;
        EXPECT_FALSE(k.decoder) << f.name;
    }
}

// A decoder moves only to a file of the size of the bytes it scanned.
TEST_F(WorkingCopyOpen, AnotherFileIsRefused)
{
    const QByteArray audio = mpeg::frames({}, 100, true);
    const QString datei = writeFile(QStringLiteral("a.mp3"), audio);
    for (const QByteArray &andere : {audio + "x", audio.left(audio.size() - 1)}) {
        TMpgDecoder decoder;
        ASSERT_EQ(decoder.open(datei), TMpgDecoder::OpenResult::Ok);
        EXPECT_FALSE(decoder.switchFile(writeFile(QStringLiteral("b.mp3"), andere)));
        EXPECT_FALSE(decoder.isOpen());
    }
    TMpgDecoder decoder;
    ASSERT_EQ(decoder.open(datei), TMpgDecoder::OpenResult::Ok);
    EXPECT_FALSE(decoder.switchFile(dir.path()));
}

} // namespace
