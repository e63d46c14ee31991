#include "tags/codepage.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray result;
    for (unsigned char b : list)
        result.append(static_cast<char>(b));
    return result;
}

TCodePage codePage(quint32 number)
{
    TCodePage cp;
    cp.CodePage = number;
    return cp;
}

} // namespace

TEST(CodePage, DefaultIsSystemDefault)
{
    const TCodePage cp;
    EXPECT_EQ(cp.Description, QStringLiteral("System default"));
    EXPECT_EQ(cp.CodePage, 0u);
    EXPECT_EQ(cp.Index, 0);
}

TEST(CodePage, AnsiMapsTheHighBytesAsWindowsDoes)
{
    struct Case {
        unsigned char byte;
        char16_t character;
    };
    const Case cases[] = {
        {0x41, u'A'},    {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F},  {0x90, 0x0090}, {0x96, 0x2013}, {0x9D, 0x009D}, {0x9F, 0x0178},
        {0xA0, 0x00A0},  {0xDF, 0x00DF}, {0xE4, 0x00E4}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const Case &c : cases) {
        const QString text = AnsiToText(bytes({c.byte}));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text[0].unicode(), c.character) << int(c.byte);
    }
}

TEST(CodePage, EveryAnsiByteSurvivesTheRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const TCodePage cp;
    EXPECT_EQ(TextToBytes(cp, false, BytesToText(cp, false, all)), all);
}

TEST(CodePage, CharactersOutsideAnsiBecomeReplacements)
{
    const TCodePage cp;
    // One replacement per character, also for one beyond the BMP.
    EXPECT_EQ(TextToBytes(cp, false, QString::fromUtf8("Ä\u0416b\U0001F600€")),
              bytes({0xC4, '?', 'b', '?', 0x80}));
}

TEST(CodePage, OtherCodePageOnlyWithTheSwitch)
{
    const QByteArray c0 = bytes({0xC0});
    EXPECT_EQ(BytesToText(codePage(1251), true, c0), QString(QChar(0x0410)));
    EXPECT_EQ(BytesToText(codePage(1251), false, c0), QString(QChar(0x00C0)));
    EXPECT_EQ(BytesToText(codePage(65001), true, bytes({0xC3, 0xA4})), QString(QChar(0x00E4)));
}

TEST(CodePage, ReadingFallsBackToAnsi)
{
    // An unknown code page, and bytes that are invalid in the chosen one.
    EXPECT_EQ(BytesToText(codePage(12345), true, bytes({0xC0})), QString(QChar(0x00C0)));
    EXPECT_EQ(BytesToText(codePage(65001), true, bytes({0xC0, 'a'})),
              QString(QChar(0x00C0)) + u'a');
    EXPECT_EQ(BytesToText(codePage(1200), true, bytes({'a', 0})), QString(u'a') + QChar(0));
    EXPECT_TRUE(BytesToText(codePage(1251), true, QByteArray()).isEmpty());
}

TEST(CodePage, WritingWithTheSwitch)
{
    const QString cyrillic(QChar(0x0410));
    // The conversion includes the terminating NUL; the fallback does not.
    EXPECT_EQ(TextToBytes(codePage(1251), true, cyrillic), bytes({0xC0, 0x00}));
    EXPECT_EQ(TextToBytes(codePage(1251), true, QStringLiteral("é")), bytes({'?', 0x00}));
    EXPECT_EQ(TextToBytes(codePage(0), true, QStringLiteral("é")), bytes({0xE9, 0x00}));
    EXPECT_EQ(TextToBytes(codePage(12345), true, QStringLiteral("é")), bytes({0xE9}));
    EXPECT_EQ(TextToBytes(codePage(65001), true, QStringLiteral("é")), bytes({0xC3, 0xA9, 0x00}));
    EXPECT_TRUE(TextToBytes(codePage(1251), true, QString()).isEmpty());
    // A broken surrogate is one unmappable character, not a reason to leave the code page.
    EXPECT_EQ(TextToBytes(codePage(1251), true, QString(QChar(0x0410)) + QChar(0xD800)),
              bytes({0xC0, '?', 0x00}));
    EXPECT_EQ(TextToBytes(codePage(1251), true, QString(QChar(0xDC00)) + QChar(0x0410)),
              bytes({'?', 0xC0, 0x00}));
}
