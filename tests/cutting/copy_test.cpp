#include "support/bytecopy.h"
#include "cutting/piecenames.h"
#include "cutting/tagextents.h"
#include "cutting/workingcopy.h"
#include "splitfixture.h"
#include "support/mpegbuilder.h"

#include <QBuffer>
#include <QDir>

namespace {

class ByteCopyTest : public TempDirTest {};

// Memory streams and unbuffered files, as the splits and joins open them.
TEST_F(ByteCopyTest, CopiesAcrossBlockBoundariesAndStopsAtTheCount)
{
    const QByteArray quelle = muster(3 * TByteCopy::Blockgroesse + 5);
    const QString quellDatei = writeFile(QStringLiteral("quelle"), quelle);
    TByteCopy kopierer;
    for (bool dateien : {false, true}) {
        for (qint64 anzahl : {qint64(0), qint64(1), TByteCopy::Blockgroesse, TByteCopy::Blockgroesse + 1,
                              qint64(quelle.size())}) {
            QBuffer einPuffer, ausPuffer;
            QFile einDatei(quellDatei), ausDatei(path(QStringLiteral("ziel")));
            QIODevice &ein = dateien ? static_cast<QIODevice &>(einDatei) : einPuffer;
            QIODevice &aus = dateien ? static_cast<QIODevice &>(ausDatei) : ausPuffer;
            einPuffer.setData(quelle);
            ASSERT_TRUE(ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
            ASSERT_TRUE(aus.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
            ASSERT_TRUE(ein.seek(2));
            ASSERT_EQ(aus.write("ab", 2), 2);
            const qint64 moeglich = qMin(anzahl, qint64(quelle.size()) - 2);
            const TKopierErgebnis e = kopierer.Kopieren(ein, aus, anzahl);
            EXPECT_EQ(e.gelesen, moeglich) << anzahl;
            EXPECT_EQ(e.geschrieben, moeglich) << anzahl;
            EXPECT_FALSE(e.fehler());
            // Asking for more than the source holds ends the copy instead of waiting for bytes.
            EXPECT_EQ(e.vollstaendig(anzahl), anzahl == moeglich) << anzahl;
            EXPECT_EQ(e.zuKurz, anzahl != moeglich) << anzahl;
            // Both positions moved on, so the next copy continues where this one ended.
            EXPECT_EQ(ein.pos(), 2 + moeglich);
            EXPECT_EQ(aus.pos(), 2 + moeglich);
            ein.close();
            aus.close();
            const QByteArray ergebnis = dateien ? readFile(path(QStringLiteral("ziel"))) : ausPuffer.data();
            EXPECT_TRUE(ergebnis == "ab" + quelle.mid(2, moeglich)) << dateien << " " << anzahl;
        }
    }
}

TEST(ByteCopy, ReportsReadAndWriteFailures)
{
    TByteCopy kopierer;
    QBuffer nichtLesbar;
    ASSERT_TRUE(nichtLesbar.open(QIODevice::WriteOnly));
    QBuffer aus;
    ASSERT_TRUE(aus.open(QIODevice::WriteOnly));
    TKopierErgebnis e = kopierer.Kopieren(nichtLesbar, aus, 10);
    EXPECT_TRUE(e.lesefehler);
    EXPECT_EQ(e.geschrieben, 0);

    QFile voll(QStringLiteral("/dev/full"));
    if (!voll.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        GTEST_SKIP() << "no /dev/full";
    QBuffer ein;
    ein.setData(muster(200000));
    ASSERT_TRUE(ein.open(QIODevice::ReadOnly));
    e = kopierer.Kopieren(ein, voll, 200000);
    EXPECT_TRUE(e.schreibfehler);
    EXPECT_FALSE(e.vollstaendig(200000));
    EXPECT_LE(e.gelesen, TByteCopy::Blockgroesse) << "the copy goes on after a failed write";
}

TEST(PieceNames, NumberBeforeTheExtension)
{
    struct Fall {
        const char *ori;
        int nr;
        const char *teil;
    };
    const Fall faelle[] = {
        {"/home/u/Hörbuch/Kapitel.mp3", 1, "/home/u/Hörbuch/Kapitel_0001.mp3"},
        {"/home/u/Hörbuch/Kapitel.mp3", 12, "/home/u/Hörbuch/Kapitel_0012.mp3"},
        {"/m/a.mp3", 10000, "/m/a_10000.mp3"},
        {"/m/a.b/Datei", 1, "/m/a.b/Datei_0001"},
        {"/m/x.tar.MP3", 3, "/m/x.tar_0003.MP3"},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(NeueDatei(QString::fromUtf8(f.ori), f.nr), QString::fromUtf8(f.teil));
}

class WorkingCopyTest : public TempDirTest {};

TEST_F(WorkingCopyTest, HoldsTheBytesBetweenTheTags)
{
    const QByteArray audio = muster(5000);
    QByteArray v2huge = mpeg::id3v2Tag(3, 20);
    v2huge[6] = 0x7F; // claims far more than the file holds
    QByteArray v2major5 = mpeg::id3v2Tag(3, 100);
    v2major5[3] = 5;
    QByteArray v2raw = mpeg::id3v2Tag(3, 100);
    v2raw[9] = char(0x80 | v2raw[9]); // a high bit in a size byte still counts as it stands
    struct Fall {
        const char *name;
        QByteArray datei;
        QByteArray kopie;
    };
    const Fall faelle[] = {
        {"no tags", audio, audio},
        {"v2 of 4096 and v1", mpeg::id3v2Tag(3, 4096) + audio + mpeg::id3v1Tag(QStringLiteral("T")), audio},
        {"v2.4 with footer", mpeg::id3v2Tag(4, 300, true) + audio, audio},
        {"v2.2", mpeg::id3v2Tag(2, 64) + audio, audio},
        {"unknown major version", v2major5 + audio, v2major5 + audio},
        {"raw size byte", v2raw + audio, (v2raw + audio).mid(100 + 128)},
        {"only tags", mpeg::id3v2Tag(3, 1000) + mpeg::id3v1Tag(), {}},
        {"size field past the end", v2huge + audio, {}},
        {"TAG too close to the start", QByteArray("TAG") + muster(100), QByteArray("TAG") + muster(100)},
        {"shorter than a header", QByteArray("ID3\3"), QByteArray("ID3\3")},
    };
    for (const Fall &f : faelle) {
        const QString quelle = writeFile(QStringLiteral("in.mp3"), f.datei);
        const QString ziel = writeFile(QStringLiteral("TmpZinS1.mp3"), "old contents that must go");
        EXPECT_TRUE(ArbeitskopieErstellen(quelle, ziel)) << f.name;
        EXPECT_EQ(readFile(ziel), f.kopie) << f.name;
    }
}

TEST_F(WorkingCopyTest, FailsWhenSourceOrTargetCannotBeUsed)
{
    const QString quelle = writeFile(QStringLiteral("in.mp3"), muster(300000));
    EXPECT_FALSE(ArbeitskopieErstellen(path(QStringLiteral("gone.mp3")), path(QStringLiteral("w.mp3"))));
    EXPECT_FALSE(ArbeitskopieErstellen(quelle, path(QStringLiteral("no/such/folder/w.mp3"))));
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        EXPECT_FALSE(ArbeitskopieErstellen(quelle, QStringLiteral("/dev/full")));
    }

    // The opened file named as its own working copy, also by another path: it must stay whole.
    const QByteArray getaggt = mpeg::id3v2Tag(3, 512) + muster(3000) + mpeg::id3v1Tag();
    const QString offen = writeFile(QStringLiteral("offen.mp3"), getaggt);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    for (const QString &ziel : {offen, path(QStringLiteral("sub/../offen.mp3"))}) {
        EXPECT_FALSE(ArbeitskopieErstellen(offen, ziel)) << ziel.toStdString();
        EXPECT_TRUE(readFile(offen) == getaggt) << ziel.toStdString();
    }
}

} // namespace
