#include "cutting/markrows.h"
#include "cutting/recordingreporter.h"

#include <gtest/gtest.h>

namespace
{

MarkRows zeilen(const QStringList &marken, qint64 maxLength, qint64 maxSize = 0, bool okS = true)
{
    MarkRows m;
    m.OkS = okS;
    m.MaxLength = maxLength;
    m.MaxSize = maxSize;
    m.Marken = marken;
    m.MarkenZuweisen(true);
    return m;
}

QStringList positionen(const MarkRows &m)
{
    QStringList p;
    for (const TMarkenZeile &z : m.Zeilen())
        p << z.Nummer + QLatin1Char(' ') + z.Position;
    return p;
}

} // namespace

TEST(MarkRowsTest, RowsAreBuiltFromTheMarks)
{
    MarkRows leer = zeilen({}, 60000);
    EXPECT_TRUE(leer.Zeilen().isEmpty());
    EXPECT_EQ(leer.AktuelleZeile, -1);

    MarkRows eine = zeilen({"0:00:10,000"}, 60000);
    EXPECT_EQ(positionen(eine), (QStringList{"1. 0:00:00,001 - 0:00:10,000", "2. 0:00:10,001 - 0:01:00,000"}));
    EXPECT_EQ(eine.AktuelleZeile, 0);

    MarkRows drei = zeilen({"0:00:05,000", "0:01:23,250", "0:02:00,000"}, 36000000);
    EXPECT_EQ(positionen(drei), (QStringList{"1. 0:00:00,001 - 0:00:05,000", "2. 0:00:05,001 - 0:01:23,250",
                                             "3. 0:01:23,251 - 0:02:00,000", "4. 0:02:00,001 - 10:00:00,000"}));
    drei.MarkenZuweisen(false);
    EXPECT_EQ(drei.Marken, (QStringList{"0:00:05,000", "0:01:23,250", "0:02:00,000"}));
}

TEST(MarkRowsTest, ButtonOneNeedsAMarkOnlyWhenSplitting)
{
    EXPECT_TRUE(zeilen({}, 60000, 0, true).Button1Aktiv());
    EXPECT_FALSE(zeilen({}, 60000, 0, false).Button1Aktiv());
    EXPECT_TRUE(zeilen({"0:00:10,000"}, 60000, 0, false).Button1Aktiv());
}

TEST(MarkRowsTest, Ticking)
{
    MarkRows leer = zeilen({}, 60000);
    EXPECT_FALSE(leer.EtwasAngehakt());
    EXPECT_TRUE(leer.AlleAngehakt(true));
    EXPECT_TRUE(leer.AlleAngehakt(false));

    MarkRows m = zeilen({"0:00:10,000", "0:00:20,000"}, 60000);
    EXPECT_FALSE(m.EtwasAngehakt());
    m.SetAngehakt(1, true);
    EXPECT_TRUE(m.EtwasAngehakt());
    EXPECT_FALSE(m.AlleAngehakt(true));
    EXPECT_FALSE(m.AlleAngehakt(false));
    m.AlleAnhaken(true);
    EXPECT_TRUE(m.AlleAngehakt(true));
    m.AlleAnhaken(false);
    EXPECT_TRUE(m.AlleAngehakt(false));
}

struct BytesCase {
    const char *name;
    qint64 maxSize;
    qint64 maxLength;
    QStringList marken;
    int aTag;
    QList<int> rows; // ticked rows for aTag 0, else the current row
    QStringList tmpMarken;
    qint64 dauer;
};

class MarkRowsBytesTest : public ::testing::TestWithParam<BytesCase>
{
};

TEST_P(MarkRowsBytesTest, RangesAndDuration)
{
    const BytesCase &c = GetParam();
    MarkRows m = zeilen(c.marken, c.maxLength, c.maxSize);
    if (c.aTag == 0) {
        for (int r : c.rows)
            m.SetAngehakt(r, true);
    } else {
        m.AktuelleZeile = c.rows.value(0);
    }
    m.MarkenBytesErmitteln(c.aTag);
    EXPECT_EQ(m.TmpMarken, c.tmpMarken);
    EXPECT_EQ(m.TmpMp3Dauer, c.dauer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkRowsBytesTest,
    ::testing::Values(
        BytesCase{"FirstRow", 960000, 60000, {"0:00:10,000"}, 1, {0}, {"0 160001"}, 10000},
        BytesCase{"LastRowEndsAtTheSize", 960000, 60000, {"0:00:10,000"}, 1, {1}, {"160001 799999"}, 50000},
        BytesCase{"BothTicked", 960000, 60000, {"0:00:10,000"}, 0, {0, 1}, {"0 160001", "160001 799999"}, 60000},
        BytesCase{"LastTwoSeconds", 960000, 60000, {"0:00:10,000"}, 2, {0}, {"128001 32000"}, 2000},
        BytesCase{"LastTwoSecondsOfAShortRow", 960000, 60000, {"0:00:01,000"}, 2, {0}, {"0 16001"}, 1000},
        BytesCase{"LastTwoSecondsOfALaterShortRow",
                  960000,
                  60000,
                  {"0:00:10,000", "0:00:11,000"},
                  2,
                  {1},
                  {"160001 16000"},
                  1000},
        BytesCase{"ThreeRowsTicked",
                  1000000,
                  100000,
                  {"0:00:25,000", "0:00:50,000"},
                  0,
                  {0, 1, 2},
                  {"0 250001", "250001 250000", "500001 499999"},
                  100000},
        BytesCase{"RowsOneAndThree",
                  1000000,
                  100000,
                  {"0:00:25,000", "0:00:50,000"},
                  0,
                  {0, 2},
                  {"0 250001", "500001 499999"},
                  75000},
        BytesCase{"NothingTicked", 960000, 60000, {"0:00:10,000"}, 0, {}, {}, 0},
        BytesCase{"NoRows", 960000, 60000, {}, 1, {0}, {}, 0},
        BytesCase{"UnknownLength", 960000, 0, {"0:00:10,000"}, 1, {0}, {}, 0},
        // A working copy above 4 GiB: positions need all 64 bits.
        BytesCase{"BeyondFourGiB",
                  6000000000,
                  3000000,
                  {"0:30:00,000"},
                  0,
                  {0, 1},
                  {"0 3600000001", "3600000001 2399999999"},
                  3000000}),
    [](const ::testing::TestParamInfo<BytesCase> &info) { return std::string(info.param.name); });

// Neighbouring rows meet without gap or overlap and cover the whole working copy, whatever the
// quotient of size and length.
TEST(MarkRowsTest, RangesTileTheWorkingCopy)
{
    struct Datei {
        qint64 size;
        qint64 length;
    };
    for (const Datei d : {Datei{1000003, 99991}, Datei{7, 3000}, Datei{2147483647, 7777777}, Datei{4812, 999}}) {
        MarkRows m = zeilen({"0:00:00,333", "0:00:00,500", "0:00:00,998"}, d.length, d.size);
        m.AlleAnhaken(true);
        m.MarkenBytesErmitteln(0);
        const QList<TByteBereich> b = m.Bereiche();
        ASSERT_EQ(b.size(), 4);
        qint64 next = 0;
        for (const TByteBereich &r : b) {
            EXPECT_EQ(r.Start, next) << d.size << "/" << d.length;
            EXPECT_GE(r.Anzahl, 0);
            next = r.Start + r.Anzahl;
        }
        EXPECT_EQ(next, d.size);
    }
}

struct MoveCase {
    const char *name;
    QStringList marken;
    int row;
    int tagNr;
    bool moved;
    QStringList rowsAfter; // empty: unchanged
};

class MarkRowsMoveTest : public ::testing::TestWithParam<MoveCase>
{
};

TEST_P(MarkRowsMoveTest, MovesWithinItsNeighbours)
{
    const MoveCase &c = GetParam();
    MarkRows m = zeilen(c.marken, 60000);
    const QStringList vorher = positionen(m);
    m.AktuelleZeile = c.row;
    EXPECT_EQ(m.MarkeVerschieben(c.tagNr), c.moved);
    EXPECT_EQ(positionen(m), c.rowsAfter.isEmpty() ? vorher : c.rowsAfter);
    EXPECT_EQ(m.Marken, c.marken);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkRowsMoveTest,
    ::testing::Values(
        MoveCase{"LeftTooCloseToTheStart", {"0:00:00,011"}, 0, 0, false, {}},
        MoveCase{
            "LeftBy10", {"0:00:00,012"}, 0, 0, true, {"1. 0:00:00,001 - 0:00:00,002", "2. 0:00:00,003 - 0:01:00,000"}},
        MoveCase{"RightBy10",
                 {"0:00:10,000", "0:00:10,015"},
                 0,
                 1,
                 true,
                 {"1. 0:00:00,001 - 0:00:10,010", "2. 0:00:10,011 - 0:00:10,015", "3. 0:00:10,016 - 0:01:00,000"}},
        MoveCase{"RightOntoTheNextEnd", {"0:00:10,010", "0:00:10,020"}, 0, 1, false, {}},
        MoveCase{"LeftBy100",
                 {"0:00:10,000", "0:00:20,000"},
                 1,
                 2,
                 true,
                 {"1. 0:00:00,001 - 0:00:10,000", "2. 0:00:10,001 - 0:00:19,900", "3. 0:00:19,901 - 0:01:00,000"}},
        MoveCase{"RightBy100",
                 {"0:00:10,000", "0:00:20,000"},
                 1,
                 3,
                 true,
                 {"1. 0:00:00,001 - 0:00:10,000", "2. 0:00:10,001 - 0:00:20,100", "3. 0:00:20,101 - 0:01:00,000"}},
        MoveCase{"LeftBy100TooFar", {"0:00:10,000", "0:00:10,100"}, 1, 2, false, {}},
        MoveCase{"LastRowHasNoMark", {"0:00:10,000"}, 1, 0, false, {}},
        MoveCase{"UnknownStep", {"0:00:10,000"}, 0, 4, false, {}},
        MoveCase{"NoCurrentRow", {"0:00:10,000"}, -1, 1, true, {}}),
    [](const ::testing::TestParamInfo<MoveCase> &info) { return std::string(info.param.name); });

TEST(MarkRowsTest, TwoStepsRightStopBeforeTheNextEnd)
{
    MarkRows m = zeilen({"0:00:10,000", "0:00:10,015"}, 60000);
    EXPECT_TRUE(m.MarkeVerschieben(1));
    EXPECT_FALSE(m.MarkeVerschieben(1));
    m.MarkenZuweisen(false);
    EXPECT_EQ(m.Marken, (QStringList{"0:00:10,010", "0:00:10,015"}));
}

TEST(MarkRowsTest, MovedMarkMovesTheRanges)
{
    MarkRows m = zeilen({"0:00:10,000"}, 60000, 960000);
    ASSERT_TRUE(m.MarkeVerschieben(3));
    m.MarkenBytesErmitteln(1);
    EXPECT_EQ(m.TmpMarken, QStringList{"0 161601"});
}

struct DeleteCase {
    const char *name;
    QStringList marken;
    bool checkBoxS;
    int current;
    QList<int> ticked;
    QStringList marksAfter;
};

class MarkRowsDeleteTest : public ::testing::TestWithParam<DeleteCase>
{
};

TEST_P(MarkRowsDeleteTest, RemovesMarksAndRenumbers)
{
    const DeleteCase &c = GetParam();
    MarkRows m = zeilen(c.marken, 60000);
    m.AktuelleZeile = c.current;
    for (int r : c.ticked)
        m.SetAngehakt(r, true);
    TRecordingReporter report;
    EXPECT_TRUE(m.EintragLoeschen(c.checkBoxS, report));
    ASSERT_EQ(report.boxes.size(), 1u);
    EXPECT_EQ(report.boxes[0].text, c.checkBoxS ? QStringLiteral("Angehakte Einträge aus der Liste löschen?")
                                                : QStringLiteral("Markierten Eintrag aus der Liste löschen?"));
    EXPECT_EQ(report.boxes[0].knoepfe, TMeldungKnoepfe::JaNein);
    EXPECT_EQ(m.Marken, c.marksAfter);
    EXPECT_EQ(m.Zeilen().size(), c.marksAfter.isEmpty() ? 0 : c.marksAfter.size() + 1);
    EXPECT_EQ(m.AktuelleZeile, m.Zeilen().isEmpty() ? -1 : 0);
    EXPECT_FALSE(m.EtwasAngehakt());
    for (int i = 0; i < m.Zeilen().size(); ++i)
        EXPECT_EQ(m.Zeilen()[i].Nummer, QStringLiteral("%1.").arg(i + 1));
}

const QStringList dreiMarken{"0:00:10,000", "0:00:20,000", "0:00:30,000"};

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkRowsDeleteTest,
    ::testing::Values(DeleteCase{"OneMarkFirstRow", {"0:00:10,000"}, false, 0, {}, {}},
                      DeleteCase{"OneMarkLastRow", {"0:00:10,000"}, false, 1, {}, {}},
                      DeleteCase{"FirstRowJoinsTheNext", dreiMarken, false, 0, {}, {"0:00:20,000", "0:00:30,000"}},
                      DeleteCase{"LastRowDropsTheLastMark", dreiMarken, false, 3, {}, {"0:00:10,000", "0:00:20,000"}},
                      DeleteCase{"TickedThreeAndFour", dreiMarken, true, 0, {2, 3}, {"0:00:10,000"}},
                      DeleteCase{"TickedOneAndThree", dreiMarken, true, 1, {0, 2}, {"0:00:20,000"}}),
    [](const ::testing::TestParamInfo<DeleteCase> &info) { return std::string(info.param.name); });

TEST(MarkRowsTest, DeleteNeedsConfirmationAndACurrentRow)
{
    MarkRows m = zeilen(dreiMarken, 60000);
    TRecordingReporter nein;
    nein.antworten = {TMeldungAntwort::Nein};
    EXPECT_FALSE(m.EintragLoeschen(false, nein));
    EXPECT_EQ(m.Zeilen().size(), 4);

    m.AktuelleZeile = -1;
    TRecordingReporter ja;
    EXPECT_FALSE(m.EintragLoeschen(false, ja));
    EXPECT_TRUE(ja.boxes.empty());
    EXPECT_EQ(m.Zeilen().size(), 4);
    m.MarkenZuweisen(false);
    EXPECT_EQ(m.Marken, dreiMarken);
}
