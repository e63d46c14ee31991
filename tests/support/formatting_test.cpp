#include "support/formatting.h"

#include <gtest/gtest.h>

namespace {

struct ZeitCase {
    qint64 ms;
    int digits;
    const char *text;
};

TEST(ZeitText, WritesHoursMinutesSecondsAndFraction)
{
    const ZeitCase cases[] = {
        {0, 3, "0:00:00,000"},         {1, 3, "0:00:00,001"},
        {61001, 3, "0:01:01,001"},     {3723045, 3, "1:02:03,045"},
        {90000000, 3, "25:00:00,000"}, {999, 3, "0:00:00,999"},
        {1000, 3, "0:00:01,000"},      {3599999, 3, "0:59:59,999"},
        {3600000, 3, "1:00:00,000"},   {1234, 2, "0:00:01,23"},
        {1234, 1, "0:00:01,2"},        {36000000, 3, "10:00:00,000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZeitText(c.ms, c.digits).toStdString(), c.text) << c.ms << " " << c.digits;
}

TEST(ZeitTextMs, ReadsTimeTexts)
{
    const std::pair<const char *, qint64> cases[] = {
        {"1:02:03,045", 3723045}, {"0:00:00,001", 1}, {"0:75:00,000", 4500000},
        {"0:00:01,5", 1005},      {"25:00:00,000", 90000000},
    };
    for (const auto &[text, ms] : cases)
        EXPECT_EQ(ZeitTextMs(QString::fromLatin1(text)), ms) << text;
}

TEST(ZeitTextMs, RoundTripsEveryTimeText)
{
    for (qint64 x : {0LL, 1LL, 59999LL, 3599999LL, 3600000LL, 36000123LL, 2147483647LL})
        EXPECT_EQ(ZeitTextMs(ZeitText(x, 3)), x);
    for (qint64 x = 0; x < 200000; x += 997)
        ASSERT_EQ(ZeitTextMs(ZeitText(x, 3)), x);
}

TEST(ZeitTextMs, MalformedTextRaisesConversionError)
{
    for (const char *bad : {"", "1234", "0:00:01", "a:00:00,000", "0:00:00,", "0:0x:00,000", "0:00:00,000 "})
        EXPECT_THROW(ZeitTextMs(QString::fromLatin1(bad)), EConvertError) << bad;
}

TEST(GroesseText, ChoosesUnitAndFraction)
{
    const std::tuple<bool, qint64, const char *> cases[] = {
        {true, 0, "0 Bytes"},
        {true, 1023, "1.023 Bytes"},
        {true, 1024, "1 KiloByte"},
        {false, 5, "5 Bytes   "},
        {true, 1048575, "1.023 KiloByte"},
        {true, 1048576, "1,00 MegaByte"},
        {true, 1572864, "1,50 MegaByte"},
        {true, 5000000, "4,76 MegaByte"},
        {true, 1073741824, "1,00 GigaByte"},
        {true, 1099511627776LL, "1,00 TeraByte"},
        {true, 1099511627776LL * 2048, "2.048,00 TeraByte"},
        {true, -1, "-1 Bytes"},
    };
    for (const auto &[trim, size, text] : cases)
        EXPECT_EQ(GroesseText(trim, size).toStdString(), text) << size;
}

TEST(Tausenderpunkte, GroupsDigitsInThrees)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "0"}, {999, "999"}, {1234, "1.234"}, {123456, "123.456"}, {1234567, "1.234.567"},
        {-1234, "-1.234"},
    };
    for (const auto &[v, text] : cases)
        EXPECT_EQ(Tausenderpunkte(v).toStdString(), text);
}

TEST(DauerText, WritesHoursMinutesSeconds)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "00:00:00"}, {59, "00:00:59"}, {3661, "01:01:01"}, {86399, "23:59:59"}, {90000, "25:00:00"},
    };
    for (const auto &[s, text] : cases)
        EXPECT_EQ(DauerText(s).toStdString(), text);
}

TEST(AmpersandEntfernen, RemovesEveryAmpersand)
{
    EXPECT_EQ(AmpersandEntfernen(QStringLiteral("Datei&größe:")), QStringLiteral("Dateigröße:"));
    EXPECT_EQ(AmpersandEntfernen(QStringLiteral("&a&&b&")), QStringLiteral("ab"));
    EXPECT_EQ(AmpersandEntfernen(QString()), QString());
}

TEST(BlanksAbschneiden, CutsControlCharactersAndSpacesOnly)
{
    EXPECT_EQ(BlanksAbschneiden(QStringLiteral(" \t\r\n/x/a b.mp3 \x01")), QStringLiteral("/x/a b.mp3"));
    // A non-breaking space may belong to a file name.
    EXPECT_EQ(BlanksAbschneiden(QStringLiteral("\u00A0a\u00A0")), QStringLiteral("\u00A0a\u00A0"));
    EXPECT_EQ(BlanksAbschneiden(QStringLiteral("   ")), QString());
}

} // namespace
