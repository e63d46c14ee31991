#include "cutting/marklist.h"
#include "cutting/marksplit.h"
#include "recordingreporter.h"
#include "splitfixture.h"
#include "support/formatting.h"

namespace {

const QString naheText = QStringLiteral("Es muss mindestens 0,010 Sekunden Platz gelassen werden!");
const QString randText = QStringLiteral("Am Anfang/Ende darf keine Marke gesetzt werden!");

TEST(MarkList, RefusesMarksAtTheEdgesAndCloseToOthers)
{
    struct Fall {
        qint64 position;
        QString meldung;
    };
    std::vector<Fall> faelle;
    for (qint64 p = 9990; p <= 10010; ++p)
        if (p != 10000)
            faelle.push_back({p, naheText});
    faelle.push_back({10000, QStringLiteral("Marke bereits auf Position 0:00:10,000 gesetzt!")});
    faelle.push_back({0, randText});
    faelle.push_back({60000, randText});
    faelle.push_back({70000, randText});
    for (const Fall &f : faelle) {
        QStringList marken{QStringLiteral("10000")};
        TRecordingReporter r;
        EXPECT_FALSE(MarkeSetzen(marken, f.position, 60000, r)) << f.position;
        EXPECT_EQ(marken, QStringList{QStringLiteral("10000")});
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].text, f.meldung) << f.position;
        EXPECT_EQ(r.boxes[0].art, TMeldungArt::Information);
    }
}

TEST(MarkList, KeepsMarksInOrderOfTime)
{
    QStringList marken{QStringLiteral("10000")};
    TRecordingReporter r;
    const qint64 neu[] = {10011, 83250, 5000, 99999, 100011, 32400000, 36000000, 9989};
    for (qint64 p : neu)
        EXPECT_TRUE(MarkeSetzen(marken, p, 40000000, r)) << p;
    EXPECT_EQ(marken, QStringList({"5000", "9989", "10000", "10011", "83250", "99999", "100011", "32400000",
                                   "36000000"}));
    EXPECT_EQ(r.boxes.front().text, QStringLiteral("Marke auf Position 0:00:10,011 gesetzt!"));
    EXPECT_EQ(r.boxes[1].text, QStringLiteral("Marke auf Position 0:01:23,250 gesetzt!"));
}

TEST(MarkList, ConvertsToTimeTextsAndBack)
{
    QStringList marken{QStringLiteral("5000"), QStringLiteral("83250"), QStringLiteral("120000"),
                       QStringLiteral("36000001")};
    const QStringList vorher = marken;
    MarkenUmwandeln(marken, true);
    EXPECT_EQ(marken, QStringList({"0:00:05,000", "0:01:23,250", "0:02:00,000", "10:00:00,001"}));
    MarkenUmwandeln(marken, false);
    EXPECT_EQ(marken, vorher);

    QStringList kaputt{QStringLiteral("0:00:05")};
    EXPECT_THROW(MarkenUmwandeln(kaputt, false), EConvertError);
    kaputt = {QStringLiteral("12a")};
    EXPECT_THROW(MarkenUmwandeln(kaputt, true), EConvertError);
}

TEST(MarkSplit, PieceBytesAreProportionalPlusOne)
{
    struct Fall {
        qint64 S, L;
        QStringList marken;
        std::vector<qint64> bytes;
    };
    const Fall faelle[] = {
        {1000000, 100000, {"25000", "50000"}, {250001, 250001}},
        {1000, 3, {"1", "2"}, {334, 334}},
        {3000000000LL, 3000000, {"1000000", "2999999"}, {1000000001LL, 1999999001LL}},
        {1000, 0, {"1"}, {}},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(MarkenTeilBytes(f.S, f.L, f.marken), f.bytes) << f.S;
}

TEST_F(SplitTest, PiecesEndAtTheMarks)
{
    struct Fall {
        qint64 S, L;
        QStringList marken;
        std::vector<qint64> groessen;
    };
    const Fall faelle[] = {
        {1000000, 100000, {"25000", "50000"}, {250001, 250001, 499998}},
        {300000, 1000, {"500"}, {150001, 149999}},
        // The one-byte drift can use up the copy before the last mark.
        {1000, 1000, {"999"}, {1000}},
    };
    for (const Fall &f : faelle) {
        const TTeilAuftrag a = auftragFuer(muster(f.S));
        TRecordingReporter r;
        const TTeilErgebnis e = MarkenTeilenStarten(a, f.L, f.marken, r);
        EXPECT_FALSE(e.Fehler);
        ASSERT_EQ(e.SplitDateien.size(), qsizetype(f.groessen.size())) << f.S;
        qint64 von = 0;
        for (size_t k = 0; k < f.groessen.size(); ++k) {
            EXPECT_TRUE(readFile(teil(int(k) + 1)) == daten.mid(von, f.groessen[k])) << f.S << " piece " << k + 1;
            von += f.groessen[k];
        }
        EXPECT_EQ(r.memo.mid(0, 3), QStringList({QStringLiteral("Teilungsinformationen:"), QStringLiteral("Modus: Marken"),
                                                 QStringLiteral("Marken gesetzt: %1").arg(f.marken.size())}));
        EXPECT_EQ(r.memo.last(), f.groessen.size() == 1 ? QStringLiteral("1 Datei erstellt.")
                                                          : QStringLiteral("%1 Dateien erstellt.").arg(f.groessen.size()));
    }
}

TEST_F(SplitTest, MarkSplitWithoutALengthWritesNothing)
{
    TRecordingReporter r;
    const TTeilErgebnis e = MarkenTeilenStarten(auftragFuer(muster(1000)), 0, {QStringLiteral("5")}, r);
    EXPECT_TRUE(e.Fehler);
    EXPECT_TRUE(e.SplitDateien.isEmpty());
    EXPECT_FALSE(QFile::exists(teil(1)));
    EXPECT_EQ(r.boxTexts(), QStringList{QStringLiteral("Es trat ein Fehler beim Teilen auf!")});
}

} // namespace
