// Tags as other programs write them, built byte by byte.
#include "support/tempdir.h"
#include "tags/id3tagwrite.h"
#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace v2bytes;

namespace {

// A v2.4 frame whose size is written as a plain 32-bit number.
QByteArray plainFrame(const QByteArray &id, const QByteArray &body)
{
    return id + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
}

QByteArray latin1Text(const QByteArray &text)
{
    return QByteArray(1, '\0') + text;
}

QByteArray comment300()
{
    QByteArray text;
    for (int i = 0; text.size() < 300; ++i)
        text += "ein langer kommentar " + QByteArray::number(i) + ' ';
    return text.left(300);
}

QByteArray commBody(const QByteArray &language, const QByteArray &text)
{
    return QByteArray(1, '\0') + language + QByteArray(1, '\0') + text;
}

TMP3Error readBytes(TID3v2Tag &tag, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return tag.ReadFromStream(buffer);
}

class OtherToolsTest : public TempDirTest {};

} // namespace

TEST(OtherTools, V24FramesWithPlainSizesAreReadWhole)
{
    const QByteArray tpe1 = frame(4, "TPE1", latin1Text("K\xfcnstler"));
    const QByteArray talb = frame(4, "TALB", latin1Text("Platte"));
    struct Case {
        const char *name;
        QByteArray frames;
        int padding;
        QStringList ids;
    };
    const Case cases[] = {
        {"plain comment first",
         plainFrame("COMM", commBody("deu", comment300())) + tpe1 + talb,
         100,
         {"COMM", "TPE1", "TALB"}},
        {"plain comment last, no padding",
         tpe1 + talb + plainFrame("COMM", commBody("deu", comment300())),
         0,
         {"TPE1", "TALB", "COMM"}},
        {"every frame plain",
         plainFrame("TPE1", latin1Text("K\xfcnstler")) + plainFrame("COMM", commBody("deu", comment300())) +
             plainFrame("TALB", latin1Text("Platte")),
         20,
         {"TPE1", "COMM", "TALB"}},
        {"synchsafe as the standard says",
         frame(4, "COMM", commBody("deu", comment300())) + tpe1 + talb,
         100,
         {"COMM", "TPE1", "TALB"}},
    };
    for (const Case &c : cases) {
        TID3v2Tag tag;
        ASSERT_EQ(readBytes(tag, v2bytes::tag(4, c.frames, c.padding)), MP3ERR_None) << c.name;
        QStringList ids;
        for (const TID3v2Frame *f : tag.GetAllFrames())
            ids << QString::fromLatin1(f->FrameIDString());
        EXPECT_EQ(ids, c.ids) << c.name;
        EXPECT_EQ(tag.GetExtendedComment("deu", QString()), QString::fromLatin1(comment300())) << c.name;
        EXPECT_TRUE(tag.ReadWhole()) << c.name;
        EXPECT_EQ(tag.PaddingSize(), c.padding) << c.name;
    }
}

TEST_F(OtherToolsTest, AWriteKeepsEveryFrameOfAPlainSizedTag)
{
    const QByteArray frames = plainFrame("COMM", commBody("deu", comment300())) +
                              frame(4, "TPE1", latin1Text("K\xfcnstler")) + frame(4, "TALB", latin1Text("Platte"));
    const QString file = writeFile(QStringLiteral("itunes.mp3"), v2bytes::tag(4, frames, 40) + audio(3000));
    TId3Felder fields;
    fields[Id3Titel] = QStringLiteral("neu");
    ASSERT_TRUE(Id3TagsInDateiSchreiben(file, fields).Fehlerfrei());

    TID3v2Tag tag;
    ASSERT_EQ(tag.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(tag.Title(), QStringLiteral("neu"));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Künstler"));
    EXPECT_EQ(tag.Album(), QStringLiteral("Platte"));
    EXPECT_EQ(tag.Comment(), QString::fromLatin1(comment300()));
    const QByteArray bytes = readFile(file);
    EXPECT_EQ(bytes.mid(tag.Size(), 3000), audio(3000));
}

TEST_F(OtherToolsTest, ATagWithDataInItsPaddingIsNotWrittenOver)
{
    // A frame whose size is wrong either way: what follows it cannot be told from padding.
    QByteArray comm = plainFrame("COMM", commBody("deu", comment300()));
    comm[7] = char(0x20);
    const QByteArray bytes = v2bytes::tag(4, comm + frame(4, "TPE1", latin1Text("A")), 30) + audio(2000);
    TID3v2Tag tag;
    readBytes(tag, bytes);
    EXPECT_FALSE(tag.ReadWhole());

    const QString file = writeFile(QStringLiteral("odd.mp3"), bytes);
    TId3Felder fields;
    fields[Id3Titel] = QStringLiteral("neu");
    const TId3Schreibergebnis result = Id3TagsInDateiSchreiben(file, fields);
    EXPECT_FALSE(result.Geschrieben());
    EXPECT_EQ(result.Lesen, ID3ERR_Invalid_Header);
    EXPECT_EQ(readFile(file), bytes);
}

TEST(OtherTools, SettingTheCommentLeavesOneCommentPerLanguageAndDescription)
{
    TID3v2Tag tag;
    ASSERT_EQ(readBytes(tag, v2bytes::tag(3,
                                          frame(3, "COMM", commBody("deu", "Alt")) +
                                              frame(3, "COMM", commBody("eng", "Old")) +
                                              frame(3, "COMM", QByteArray("\0fraNote\0Bleibt", 16)),
                                          10)),
              MP3ERR_None);
    tag.SetComment(QStringLiteral("NEU"));
    const TID3v2Tag::TFrameList comments = tag.GetAllCommentFrames();
    ASSERT_EQ(comments.size(), 2);
    EXPECT_EQ(tag.Comment(), QStringLiteral("NEU"));
    EXPECT_EQ(tag.GetExtendedComment("eng", QString()), QStringLiteral("NEU"));
    EXPECT_EQ(tag.GetExtendedComment("fra", QStringLiteral("Note")), QStringLiteral("Bleibt"));
}

TEST(OtherTools, GenresByNumberAndSeveralValues)
{
    const QByteArray utf16 = QByteArray::fromHex("01"
                                                 "fffe31003700"
                                                 "0000"
                                                 "fffe50006f007000");
    struct Case {
        int version;
        QByteArray body;
        QString genre;
    };
    const Case cases[] = {
        {4, latin1Text("17"), QStringLiteral("Rock")},
        {4, latin1Text(QByteArray("17\0Pop", 6)), QStringLiteral("Rock / Pop")},
        {4, latin1Text(QByteArray("17\0Pop\0", 7)), QStringLiteral("Rock / Pop")},
        {4, utf16, QStringLiteral("Rock / Pop")},
        {3, latin1Text("(17)rock"), QStringLiteral("Rock")},
        {3, latin1Text("0"), QStringLiteral("Blues")},
        {3, latin1Text("Polka Punk"), QStringLiteral("Polka Punk")},
        {4, latin1Text("200"), QStringLiteral("200")},
        {4, latin1Text("2024"), QStringLiteral("2024")},
    };
    for (const Case &c : cases) {
        TID3v2Tag tag;
        ASSERT_EQ(readBytes(tag, v2bytes::tag(c.version, frame(c.version, "TCON", c.body), 10)), MP3ERR_None);
        EXPECT_EQ(tag.Genre(), c.genre) << c.body.toHex().toStdString();
    }

    // What the user enters is written as it stands.
    TID3v2Tag tag;
    tag.Clear();
    tag.SetGenre(QStringLiteral("17"));
    EXPECT_EQ(tag.GetText(IDv2_GENRE), QStringLiteral("17"));
}
