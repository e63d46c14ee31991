#include "support/tempdir.h"
#include "tags/id3tagwrite.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <gtest/gtest.h>

namespace {

using Shown = std::array<QString, Id3FeldAnzahl>;

TId3Felder allFields(const Shown &values)
{
    TId3Felder fields;
    for (int f = 0; f < Id3FeldAnzahl; ++f)
        fields[f] = values[f];
    return fields;
}

class Id3TagWriteTest : public TempDirTest {};

} // namespace

TEST(Id3TagFields, SetFromAPairPrefersTheV2ValueAndFallsBackToV1)
{
    TID3v1Tag v1;
    v1.SetTitle(QStringLiteral("Alt"));
    v1.SetArtist(QStringLiteral("Nur v1"));
    v1.SetYear("1999");
    v1.SetTrack(QStringLiteral("7"));
    v1.SetGenre(QStringLiteral("Jazz"));
    TID3v2Tag v2;
    v2.Clear();
    v2.SetTitle(QStringLiteral("Neu"));
    v2.SetGenre(QStringLiteral("Polka Punk"));

    TID3v1Tag id1;
    TID3v2Tag id2;
    id2.Clear();
    const Shown shown = SetId3Tags(v1, v2, id1, id2);
    const Shown expected = {
        QStringLiteral("Neu"), QStringLiteral("Nur v1"),    QString(), QStringLiteral("1999"), QString(),
        QStringLiteral("7"),   QStringLiteral("Polka Punk")};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(id1.Title(), QStringLiteral("Neu"));
    EXPECT_EQ(id1.Year(), QByteArray("1999"));
    EXPECT_EQ(id1.GenreNumber(), 255);
    EXPECT_EQ(id2.Artist(), QStringLiteral("Nur v1"));

    // Empty tags propose what a cleared ID3v1 tag holds; a genre above 125 shows as empty.
    TID3v1Tag empty1, id1b, odd;
    TID3v2Tag empty2, id2b, id2c;
    EXPECT_EQ(SetId3Tags(empty1, empty2, id1b, id2b)[Id3Track], QStringLiteral("0"));
    EXPECT_EQ(id2b.Genre(), QStringLiteral("Blues"));
    odd.SetGenre(QStringLiteral("Synthpop"));
    EXPECT_EQ(SetId3Tags(odd, empty2, id1b, id2c)[Id3Genre], QString());
}

TEST_F(Id3TagWriteTest, WritesTheSevenFieldsByTheEditorsRules)
{
    const QString file = writeFile(QStringLiteral("a.mp3"), v2bytes::audio(4000));
    TID3v1Tag v1;
    TID3v2Tag v2;
    v2.Clear();
    v2.SetAlbum(QStringLiteral("Weg damit"));
    const TId3Schreibergebnis result =
        WriteId3Tags(file,
                     allFields({QStringLiteral("Titel"), QStringLiteral("Autor"), QString(), QStringLiteral("19851"),
                                QStringLiteral("Notiz"), QStringLiteral("300"), QStringLiteral("Polka Punk")}),
                     v1, v2);
    EXPECT_TRUE(result.Fehlerfrei());
    EXPECT_TRUE(result.Erfolg());

    TID3v1Tag read1;
    TID3v2Tag read2;
    ASSERT_EQ(read1.ReadFromFile(file), MP3ERR_None);
    ASSERT_EQ(read2.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(read1.Title(), QStringLiteral("Titel"));
    EXPECT_EQ(read1.Album(), QString());
    EXPECT_EQ(read1.Year(), QByteArray("1985"));
    EXPECT_EQ(read1.Track(), QStringLiteral("44"));
    EXPECT_EQ(read1.GenreNumber(), 255);
    EXPECT_EQ(read2.Album(), QString());
    EXPECT_EQ(read2.Year(), QString());
    EXPECT_EQ(read2.Track(), QStringLiteral("300"));
    EXPECT_EQ(read2.Genre(), QStringLiteral("Polka Punk"));
    EXPECT_EQ(read2.Frames().size(), 5u);
}

TEST_F(Id3TagWriteTest, AFileWithADamagedTagIsNotWrittenOver)
{
    // The tag claims more bytes than the file holds.
    const QByteArray damaged = v2bytes::header(3, 4000) + v2bytes::frame(3, "TIT2", QByteArray("\0Alt", 4));
    const QString file = writeFile(QStringLiteral("d.mp3"), damaged);
    TId3Felder fields;
    fields[Id3Titel] = QStringLiteral("Neu");
    const TId3Schreibergebnis result = Id3TagsInDateiSchreiben(file, fields);
    EXPECT_FALSE(result.Geschrieben());
    EXPECT_FALSE(result.Erfolg());
    EXPECT_EQ(readFile(file), damaged);
}

TEST(Id3TagFields, TheEditorCountsOnlyOpenReadWriteErrorsAsFailure)
{
    struct Case {
        TMP3Error v1, v2;
        bool erfolg;
    };
    const Case cases[] = {{MP3ERR_None, MP3ERR_None, true},
                          {MP3ERR_None, ID3ERR_Cache, true},
                          {ID3ERR_NoTag, ID3ERR_Unclassified, true},
                          {MP3ERR_SWrite, MP3ERR_None, false},
                          {MP3ERR_None, MP3ERR_NoFile, false},
                          {MP3ERR_None, ID3ERR_Invalid_Header, false}};
    for (const Case &c : cases) {
        TId3Schreibergebnis r;
        r.V1 = c.v1;
        r.V2 = c.v2;
        EXPECT_EQ(r.Erfolg(), c.erfolg) << c.v1 << " " << c.v2;
    }
}

TEST(Id3TagFields, AYearIsDigitsOnly)
{
    for (const char *good : {"", "2024", " 85 ", "19851", "0"})
        EXPECT_TRUE(Id3JahrGueltig(QString::fromLatin1(good))) << good;
    for (const char *bad : {"2024-05-06", "-5", "+5", "1e3", "zwei", "20 24"})
        EXPECT_FALSE(Id3JahrGueltig(QString::fromLatin1(bad))) << bad;
}
