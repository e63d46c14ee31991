#include "cutting/sizesplit.h"
#include "recordingreporter.h"
#include "splitfixture.h"

namespace {

TEST(PieceSize, CorrectionLeavesALastPieceOfAtLeast95Percent)
{
    struct Fall {
        qint64 S, p, korrigiert;
    };
    const Fall faelle[] = {
        {10000000, 1024000, 1005530},   // R = 77: smaller pieces
        {10000000, 1000000, 1000001},   // exact multiple: one full piece fewer
        {10100000, 1000000, 1010001},   // R = 10
        {10950000, 1000000, 1000000},   // R exactly 95 stays
        {10960000, 1000000, 1000000},   // R above 95 stays
        {5000, 5000, 5001},             // one piece holds everything
        {3, 1, 4},                      // tiny: stops once one piece takes all
        {3000000000LL, 1000000000LL, 1000000001LL}, // beyond 32 bits
    };
    for (const Fall &f : faelle) {
        const qint64 p = TeilgroesseKorrigieren(f.S, f.p);
        EXPECT_EQ(p, f.korrigiert) << f.S << " " << f.p;
        if (p < f.S) {
            EXPECT_GE(RestProzent(f.S, p), 95) << f.S << " " << f.p;
        }
    }
    EXPECT_EQ(RestProzent(200, 8), 0);
    EXPECT_EQ(RestProzent(205, 200), 2);   // 2.5 % goes to the even 2
    EXPECT_EQ(RestProzent(207, 200), 4);   // 3.5 % goes to the even 4
    EXPECT_EQ(RestProzent(10000000, 1024000), 77);
}

TEST(PieceSize, FromKilobytesMinutesAndSeconds)
{
    struct Fall {
        int modus;
        qint64 n, size, sekunden, bytes;
    };
    const Fall faelle[] = {
        {ModusBytes, 1000, 10000000, 0, 1024000},
        {ModusMinuten, 1, 10000000, 625, 960000},
        {ModusSekunden, 10, 10000000, 625, 160000},
        {ModusMinuten, 1, 1000003, 7, 8571454},
        {ModusSekunden, 3, 1000003, 7, 428572},
        {ModusMinuten, 1, 1000, 0, 0},    // no duration known
        {ModusSekunden, 0, 1000, 10, 0},  // no usable number
        {ModusBytes, 3000000, 4000000000LL, 0, 3072000000LL},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(BytesProTeil(f.modus, f.n, f.size, f.sekunden), f.bytes) << f.modus << " " << f.n;

    EXPECT_EQ(MaxNr(ModusBytes, 1023, 100), 0);
    EXPECT_EQ(MaxNr(ModusBytes, 4096, 100), 4);
    EXPECT_EQ(MaxNr(ModusMinuten, 4096, 59), 0);
    EXPECT_EQ(MaxNr(ModusMinuten, 4096, 125), 2);
    EXPECT_EQ(MaxNr(ModusSekunden, 4096, 125), 125);

    EXPECT_EQ(VorspannBytes(3, 10000000, 625, 960000), 48000);
    EXPECT_EQ(VorspannBytes(9, 10000000, 625, 10000), 10000); // never more than a piece
    EXPECT_EQ(VorspannBytes(0, 10000000, 625, 960000), 0);
    EXPECT_EQ(VorspannBytes(2, 10000000, 0, 960000), 0);      // duration unknown
}

TEST_F(SplitTest, PiecesHoldConsecutiveRangesOfTheWorkingCopy)
{
    struct Fall {
        qint64 S, p;
        int volle;
        qint64 letzter;
    };
    const Fall faelle[] = {
        {10000000, 1024000, 9, 950230},
        {10000000, 1000000, 9, 999991},
        {10100000, 1000000, 9, 1009991},
        {10950000, 1000000, 10, 950000},
        {5000, 5000, 0, 5000},
    };
    for (const Fall &f : faelle) {
        const TTeilAuftrag a = auftragFuer(muster(f.S));
        const qint64 p = TeilgroesseKorrigieren(f.S, f.p);
        TRecordingReporter r;
        const TTeilErgebnis e = TeilenStarten(a, ModusBytes, p, 0, r);
        ASSERT_FALSE(e.Fehler) << f.S;
        ASSERT_EQ(e.SplitDateien.size(), f.volle + 1) << f.S;
        for (int k = 1; k <= f.volle + 1; ++k) {
            EXPECT_EQ(e.SplitDateien[k - 1], teil(k));
            const QByteArray stueck = readFile(teil(k));
            EXPECT_EQ(stueck.size(), k <= f.volle ? p : f.letzter) << f.S << " piece " << k;
            EXPECT_TRUE(stueck == daten.mid((k - 1) * p, stueck.size())) << f.S << " piece " << k;
        }
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(r.nachrichten, f.volle + 1) << "messages are handled after every announced piece";
    }
}

TEST_F(SplitTest, MemoReportsModeSizeEveryPieceAndTheCount)
{
    TRecordingReporter r;
    r.memo = {QStringLiteral("from before")};
    TeilenStarten(auftragFuer(muster(3000)), ModusSekunden, 1000, 0, r);
    EXPECT_EQ(r.memo, QStringList({QStringLiteral("Teilungsinformationen:"), QStringLiteral("Modus: Sekunden"),
                                   QStringLiteral("Bytes pro Datei: 1.000"),
                                   QStringLiteral("Teile in \"%1\"...").arg(teil(1)),
                                   QStringLiteral("Teile in \"%1\"...").arg(teil(2)),
                                   QStringLiteral("Teile in \"%1\"...").arg(teil(3)),
                                   QStringLiteral("3 Dateien erstellt.")}));
    r.memo.clear();
    TeilenStarten(auftragFuer(muster(3000)), ModusBytes, 3001, 0, r);
    EXPECT_EQ(r.memo.mid(1, 2), QStringList({QStringLiteral("Modus: Bytes"), QStringLiteral("Bytes pro Datei: 3.001")}));
    EXPECT_EQ(r.memo.last(), QStringLiteral("1 Datei erstellt."));

    // Nothing to do: no memo change, no piece.
    r.memo.clear();
    EXPECT_TRUE(TeilenStarten(auftragFuer(muster(3000)), ModusBytes, 0, 0, r).SplitDateien.isEmpty());
    EXPECT_TRUE(r.memo.isEmpty());
}

TEST_F(SplitTest, OverlapRepeatsTheEndOfThePieceBefore)
{
    const qint64 p = 300000, v = 1000; // blocks of the overlap and of pieces do not line up
    const TTeilAuftrag a = auftragFuer(muster(1000000));
    TRecordingReporter r;
    const TTeilErgebnis e = TeilenStarten(a, ModusMinuten, p, v, r);
    ASSERT_EQ(e.SplitDateien.size(), 4);
    for (int k = 1; k <= 4; ++k) {
        const qint64 von = k == 1 ? 0 : (k - 1) * p - v;
        const qint64 bis = qMin(k * p, a.Mp3Size);
        EXPECT_TRUE(readFile(teil(k)) == daten.mid(von, bis - von)) << "piece " << k;
    }
}

} // namespace
