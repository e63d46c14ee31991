#include "cutting/marksplit.h"
#include "cutting/sizesplit.h"
#include "recordingreporter.h"
#include "smallfs.h"
#include "splitfixture.h"
#include "support/formatting.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {

const QString fehlerText = QStringLiteral("Es trat ein Fehler beim Teilen auf!");

// One error box, the pieces created are listed, exist, and are counted in the memo.
void erwarteAbbruch(const TTeilErgebnis &e, const TRecordingReporter &r, qsizetype teile)
{
    EXPECT_TRUE(e.Fehler);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, fehlerText);
    EXPECT_EQ(r.boxes[0].art, TMeldungArt::Fehler);
    EXPECT_EQ(e.SplitDateien.size(), teile);
    for (const QString &t : e.SplitDateien)
        EXPECT_TRUE(QFile::exists(t)) << t.toStdString();
    EXPECT_EQ(r.memo.last(), teile == 1 ? QStringLiteral("1 Datei erstellt.") : QStringLiteral("%1 Dateien erstellt.").arg(teile));
}

TEST_F(SplitTest, MissingWorkingCopyFolderOrPieceEndsWithTheErrorMessage)
{
    TTeilAuftrag a = auftragFuer(muster(5000));
    a.TmpFilename = path(QStringLiteral("gone.mp3"));
    TRecordingReporter r;
    erwarteAbbruch(TeilenStarten(a, ModusBytes, 1000, 0, r), r, 0);

    a = auftragFuer(muster(5000));
    a.OriFilename = path(QStringLiteral("no/such/folder/Kapitel.mp3"));
    TRecordingReporter r2;
    erwarteAbbruch(MarkenTeilenStarten(a, 5000, {QStringLiteral("1000")}, r2), r2, 0);

    // A folder in the place of piece 2: announced, but neither listed nor counted.
    a = auftragFuer(muster(5000));
    ASSERT_TRUE(QDir().mkpath(teil(2)));
    TRecordingReporter r3;
    const TTeilErgebnis e = TeilenStarten(a, ModusBytes, 2000, 0, r3);
    erwarteAbbruch(e, r3, 1);
    EXPECT_EQ(e.SplitDateien, QStringList{teil(1)});
    EXPECT_TRUE(r3.memo.contains(QStringLiteral("Teile in \"%1\"...").arg(teil(2))));
    EXPECT_TRUE(readFile(teil(1)) == daten.left(2000));
}

TEST_F(SplitTest, WorkingCopyShorterThanExpectedKeepsWhatWasWritten)
{
    TTeilAuftrag a = auftragFuer(muster(50000));
    a.Mp3Size = 100000;
    TRecordingReporter r;
    const TTeilErgebnis e = TeilenStarten(a, ModusBytes, 30000, 0, r);
    erwarteAbbruch(e, r, 2);
    EXPECT_TRUE(readFile(teil(1)) == daten.left(30000));
    EXPECT_TRUE(readFile(teil(2)) == daten.mid(30000));
}

// A small file system of its own, so the disk really runs full.
class FullDiskTest : public SplitTest {
protected:
    void SetUp() override
    {
        SplitTest::SetUp();
        klein = std::make_unique<TKleinesDateisystem>(path(QStringLiteral("klein")));
        if (!klein->ok())
            GTEST_SKIP() << "cannot mount a small file system here";
    }
    void TearDown() override
    {
        klein.reset();
        SplitTest::TearDown();
    }
    std::unique_ptr<TKleinesDateisystem> klein;
};

TEST_F(FullDiskTest, SplitStopsAtTheFullDiskAndKeepsThePieces)
{
    TTeilAuftrag a = auftragFuer(muster(1000000));
    a.OriFilename = klein->pfad(QStringLiteral("Kapitel.mp3"));
    TRecordingReporter r;
    const TTeilErgebnis e = TeilenStarten(a, ModusBytes, 100000, 5000, r);
    ASSERT_GE(e.SplitDateien.size(), 2);
    erwarteAbbruch(e, r, e.SplitDateien.size());
    EXPECT_LT(e.SplitDateien.size(), 10);
    // Full pieces before the one that hit the end of the space are whole.
    EXPECT_TRUE(readFile(e.SplitDateien[0]) == daten.left(100000));
    EXPECT_TRUE(readFile(e.SplitDateien[1]) == daten.mid(95000, 105000));
}

TEST_F(SplitTest, WorkingCopyOfMoreThan2GiB)
{
    // Sparse, with marks just around the 32-bit limits, so a wrapped count lands elsewhere.
    const qint64 S = (qint64(1) << 31) + 3 * 1024 * 1024;
    const QString tmp = path(QStringLiteral("TmpZinS1.mp3"));
    {
        QFile f(tmp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(S));
        for (qint64 at : {(qint64(1) << 31) - 1, qint64(1) << 31, S - 1}) {
            ASSERT_TRUE(f.seek(at));
            f.putChar(char(0xA0 + (at & 0xF)));
        }
    }
    const TTeilAuftrag a{tmp, path(QStringLiteral("Kapitel.mp3")), S};
    const qint64 p = (qint64(1) << 30) + 12345;
    TRecordingReporter r;
    const TTeilErgebnis e = TeilenStarten(a, ModusBytes, p, 0, r);
    ASSERT_FALSE(e.Fehler);
    ASSERT_EQ(e.SplitDateien.size(), 3);
    EXPECT_EQ(QFileInfo(teil(1)).size(), p);
    EXPECT_EQ(QFileInfo(teil(2)).size(), p);
    EXPECT_EQ(QFileInfo(teil(3)).size(), S - 2 * p);
    EXPECT_EQ(r.memo[2], QStringLiteral("Bytes pro Datei: %1").arg(Tausenderpunkte(p)));
    for (qint64 at : {(qint64(1) << 31) - 1, qint64(1) << 31, S - 1}) {
        QFile stueck(teil(int(at / p) + 1));
        ASSERT_TRUE(stueck.open(QIODevice::ReadOnly));
        ASSERT_TRUE(stueck.seek(at % p));
        char c = 0;
        ASSERT_TRUE(stueck.getChar(&c));
        EXPECT_EQ(quint8(c), 0xA0 + (at & 0xF)) << at;
    }
    for (int k = 1; k <= 3; ++k)
        QFile::remove(teil(k));
}

} // namespace
