#include "tags/id3v2frame.h"
#include "tags/languages.h"
#include "tags/id3v2bytes.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <memory>

using namespace v2bytes;

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// Reads one frame from `bytes` (which start with the frame ID) the way the tag does.
std::unique_ptr<TID3v2Frame> readFrame(int version, const QByteArray &bytes)
{
    const int idLength = version == 2 ? 3 : 4;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    auto frame = std::make_unique<TID3v2Frame>(buffer.read(idLength), quint8(version));
    frame->ReadFromStream(buffer);
    return frame;
}

QByteArray written(TID3v2Frame &frame, bool unsynced = false)
{
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    EXPECT_TRUE(unsynced ? frame.WriteUnsyncedToStream(out) : frame.WriteToStream(out));
    return out.data();
}

QByteArray content(TID3v2Frame &frame)
{
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    frame.GetData(&out);
    return out.data();
}

std::unique_ptr<TID3v2Frame> withContent(int version, const QByteArray &id, const QByteArray &data)
{
    auto frame = std::make_unique<TID3v2Frame>(id, quint8(version));
    QByteArray copy = data;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    frame->SetData(&in);
    return frame;
}

} // namespace

TEST(ID3v2FrameTable, RowsAndIDsPerVersion)
{
    EXPECT_EQ(ID3v2KnownFrames.size(), 91u);
    EXPECT_STREQ(ID3v2KnownFrames[IDv2_UNKNOWN].Description, "Unknown/experimental Frame");
    EXPECT_STREQ(ID3v2KnownFrames[IDv2_TaglumenExperimental].Description, "Taglumen experimental Frame");
    struct Case {
        TFrameIDs id;
        const char *v2, *v3, *v4;
    };
    const Case cases[] = {
        {IDv2_TITEL, "TT2", "TIT2", "TIT2"},       {IDv2_YEAR, "TYE", "TYER", "TDRC"},
        {IDv2_ORIGINALRELEASEYEAR, "TOR", "TORY", "TDOR"}, {IDv2_ENCODINGTIME, "---", "----", "TDEN"},
        {IDv2_PRIVATE, "PRV", "PRIV", "PRIV"},     {IDv2_EQUALIZATION, "EQU", "EQUA", "EQU2"},
        {IDv2_ENCRYPTEDMETAFRAME, "CRM", "----", "----"}, {IDv2_SIZE, "TSI", "TSIZ", "----"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ID3v2FrameIDString(c.id, 2), QByteArray(c.v2)) << c.id;
        EXPECT_EQ(ID3v2FrameIDString(c.id, 3), QByteArray(c.v3)) << c.id;
        EXPECT_EQ(ID3v2FrameIDString(c.id, 4), QByteArray(c.v4)) << c.id;
    }
    EXPECT_TRUE(ID3v2FrameIDString(IDv2_TITEL, 5).isEmpty());
}

TEST(ID3v2FrameTable, CreationLookupAndDescription)
{
    struct Case {
        const char *id;
        int version;
        const char *storedID;
        TFrameIDs row;
        TID3v2FrameTypes type;
        QString description;
    };
    const Case cases[] = {
        {"TIT2", 3, "TIT2", IDv2_TITEL, FT_TextFrame, "Title/Songname/Content description"},
        {"tit2", 3, "XXXX", IDv2_UNKNOWN, FT_UNKNOWN, "Unknown/experimental Frame"},
        {"TIT2", 2, "XXX", IDv2_UNKNOWN, FT_UNKNOWN, "Unknown/experimental Frame"},
        {"TT2", 3, "XXXX", IDv2_UNKNOWN, FT_UNKNOWN, "Unknown/experimental Frame"},
        {"TDRC", 4, "TDRC", IDv2_YEAR, FT_TextFrame, "Year"}, // row 5 comes before row 37
        {"ABCD", 3, "ABCD", IDv2_UNKNOWN, FT_UNKNOWN, "Unknown Frame (ABCD)"},
        {"TXXX", 4, "TXXX", IDv2_USERDEFINEDTEXT, FT_UserTextFrame, "User defined text information frame"},
        {"TXX", 2, "TXX", IDv2_USERDEFINEDTEXT, FT_UserTextFrame, "User defined text information frame"},
        {"WXX", 2, "WXX", IDv2_USERDEFINEDURL, FT_UserDefinedURLFrame, "User defined URL link frame"},
        {"COM", 2, "COM", IDv2_COMMENT, FT_CommentFrame, "Comments"},
        {"ULT", 2, "ULT", IDv2_LYRICS, FT_LyricFrame, "Unsychronized lyric/text transcription"},
        {"PIC", 2, "PIC", IDv2_PICTURE, FT_PictureFrame, "Attached picture"},
        {"POP", 2, "POP", IDv2_RATING, FT_PopularimeterFrame, "Popularimeter"},
        {"WAF", 2, "WAF", IDv2_AUDIOFILEURL, FT_URLFrame, "Official audio file webpage"},
        {"PRV", 2, "PRV", IDv2_PRIVATE, FT_UNKNOWN, "Private frame"},
        {"COMM", 3, "COMM", IDv2_COMMENT, FT_CommentFrame, "Comments"},
        {"USLT", 4, "USLT", IDv2_LYRICS, FT_LyricFrame, "Unsychronized lyric/text transcription"},
        {"APIC", 3, "APIC", IDv2_PICTURE, FT_PictureFrame, "Attached picture"},
        {"POPM", 4, "POPM", IDv2_RATING, FT_PopularimeterFrame, "Popularimeter"},
        {"WPAY", 3, "WPAY", IDv2_PAYMENTURL, FT_URLFrame, "Payment"},
        {"WXXX", 3, "WXXX", IDv2_USERDEFINEDURL, FT_UserDefinedURLFrame, "User defined URL link frame"},
        {"TDEN", 3, "TDEN", IDv2_UNKNOWN, FT_TextFrame, "Unknown Frame (TDEN)"},
    };
    for (const Case &c : cases) {
        const TID3v2Frame frame(c.id, quint8(c.version));
        EXPECT_EQ(frame.FrameIDString(), QByteArray(c.storedID)) << c.id << c.version;
        EXPECT_EQ(frame.FrameID(), c.row) << c.id << c.version;
        EXPECT_EQ(frame.FrameType(), c.type) << c.id << c.version;
        EXPECT_EQ(frame.FrameTypeDescription(), c.description) << c.id << c.version;
        EXPECT_EQ(frame.Header().left(frame.FrameIDString().size()), frame.FrameIDString());
        EXPECT_EQ(frame.Header().size(), c.version == 2 ? 6 : 10);
    }
}

TEST(ID3v2FrameFlags, GettersByVersionAndBits)
{
    struct Case {
        int version;
        quint8 status, format;
        bool tagAlter, fileAlter, readOnly, compression, encryption, grouping, unsync, dataLength, unkStatus,
            unkFormat;
    };
    const Case cases[] = {
        {3, 0x00, 0x00, true, true, false, false, false, false, false, false, false, false},
        {3, 0x80, 0x00, false, true, false, false, false, false, false, false, false, false},
        {3, 0x40, 0x00, true, false, false, false, false, false, false, false, false, false},
        {3, 0x20, 0x00, true, true, true, false, false, false, false, false, false, false},
        {3, 0x01, 0x80, true, true, false, true, false, false, false, false, true, false},
        {3, 0x00, 0x40, true, true, false, false, true, false, false, false, false, false},
        {3, 0x00, 0x20, true, true, false, false, false, true, false, false, false, false},
        {3, 0x00, 0x03, true, true, false, false, false, false, false, false, false, true},
        {4, 0x40, 0x00, false, true, false, false, false, false, false, false, false, false},
        {4, 0x20, 0x00, true, false, false, false, false, false, false, false, false, false},
        {4, 0x10, 0x00, true, true, true, false, false, false, false, false, false, false},
        {4, 0x80, 0x08, true, true, false, true, false, false, false, false, true, false},
        {4, 0x00, 0x04, true, true, false, false, true, false, false, false, false, false},
        {4, 0x00, 0x40, true, true, false, false, false, true, false, false, false, false},
        {4, 0x00, 0x02, true, true, false, false, false, false, true, false, false, false},
        {4, 0x00, 0x01, true, true, false, false, false, false, false, true, false, false},
        {4, 0x00, 0x10, true, true, false, false, false, false, false, false, false, true},
    };
    for (const Case &c : cases) {
        // Read with zero content so that even the unusual flags leave a readable frame.
        QByteArray extra;
        if (c.version == 4 && (c.format & 0x01))
            extra = be32(0);
        if (c.format & (c.version == 3 ? 0x20 : 0x40))
            extra.prepend('\x07');
        const auto f = readFrame(c.version, frame(c.version, "TIT2", extra, c.status, c.format));
        const std::string name = std::to_string(c.version) + " " + std::to_string(c.status) + "/" + std::to_string(c.format);
        EXPECT_EQ(f->FlagTagAlterPreservation(), c.tagAlter) << name;
        EXPECT_EQ(f->FlagFileAlterPreservation(), c.fileAlter) << name;
        EXPECT_EQ(f->FlagReadOnly(), c.readOnly) << name;
        EXPECT_EQ(f->FlagCompression(), c.compression) << name;
        EXPECT_EQ(f->FlagEncryption(), c.encryption) << name;
        EXPECT_EQ(f->FlagGroupingIndentity(), c.grouping) << name;
        EXPECT_EQ(f->FlagUnsynchronisation(), c.unsync) << name;
        EXPECT_EQ(f->FlagDataLengthIndicator(), c.dataLength) << name;
        EXPECT_EQ(f->FlagUnknownStatus(), c.unkStatus) << name;
        EXPECT_EQ(f->FlagUnknownEncoding(), c.unkFormat) << name;
    }

    const TID3v2Frame v22("TT2", 2);
    EXPECT_TRUE(v22.FlagTagAlterPreservation() && v22.FlagFileAlterPreservation());
    EXPECT_FALSE(v22.FlagReadOnly() || v22.FlagGroupingIndentity() || v22.FlagUnknownStatus());
    const TID3v2Frame odd("TIT2", 5);
    EXPECT_TRUE(odd.FlagTagAlterPreservation() && odd.FlagReadOnly() && odd.FlagCompression() &&
                odd.FlagDataLengthIndicator() && odd.FlagUnknownEncoding());

    TID3v2Frame grouped("TIT2", 4);
    grouped.SetFlagGroupingIndentity(true);
    EXPECT_EQ(quint8(grouped.Header().at(9)), 0x40);
    grouped.SetFlagGroupingIndentity(false);
    EXPECT_EQ(quint8(grouped.Header().at(9)), 0x00);
}

TEST(ID3v2FrameReadWrite, LayoutsAndFlagsAsStoredAndWrittenBack)
{
    struct Case {
        const char *name;
        int version;
        QByteArray stored;    // frame bytes as in the file
        bool parsable;
        QByteArray content;   // fData after reading
        quint8 groupID;
        QByteArray plainOut;  // a plain write afterwards
    };
    const Case cases[] = {
        {"v2.2", 2, frame(2, "TT2", hex("00414243")), true, hex("00414243"), 0, frame(2, "TT2", hex("00414243"))},
        {"v2.3 plain", 3, frame(3, "TIT2", hex("004142"), 0x80), true, hex("004142"), 0,
         frame(3, "TIT2", hex("004142"), 0x80)},
        {"v2.3 grouping", 3, frame(3, "TIT2", hex("09004142"), 0, 0x20), true, hex("004142"), 9,
         frame(3, "TIT2", hex("09004142"), 0, 0x20)},
        {"v2.3 compressed", 3, frame(3, "TIT2", hex("0000000478"), 0, 0x80), false, hex("0000000478"), 0,
         frame(3, "TIT2", hex("0000000478"), 0, 0x80)},
        {"v2.4 syncsafe size", 4, frame(4, "TIT2", QByteArray(1, '\0') + QByteArray(200, 'a')), true,
         QByteArray(1, '\0') + QByteArray(200, 'a'), 0, frame(4, "TIT2", QByteArray(1, '\0') + QByteArray(200, 'a'))},
        {"v2.4 data length indicator", 4, frame(4, "TIT2", be32(3) + hex("004142"), 0, 0x01), true, hex("004142"),
         0, frame(4, "TIT2", hex("004142"))},
        {"v2.4 grouping and length", 4, frame(4, "TIT2", hex("05") + be32(3) + hex("004142"), 0, 0x41), true,
         hex("004142"), 5, frame(4, "TIT2", hex("05004142"), 0, 0x40)},
        {"v2.4 compressed", 4, frame(4, "TIT2", hex("00000004789c"), 0, 0x08), false, hex("00000004789c"), 0,
         frame(4, "TIT2", hex("00000004789c"), 0, 0x08)},
        {"v2.4 unsynchronised", 4, frame(4, "PRIV", hex("ff0000"), 0, 0x02), true, hex("ff00"), 0,
         frame(4, "PRIV", hex("ff00"))},
        {"v2.4 zero length", 4, frame(4, "TIT2", {}), true, {}, 0, frame(4, "TIT2", {})},
    };
    for (const Case &c : cases) {
        const auto f = readFrame(c.version, c.stored);
        EXPECT_EQ(f->Parsable(), c.parsable) << c.name;
        EXPECT_EQ(content(*f), c.content) << c.name;
        EXPECT_EQ(f->DataSize(), c.content.size()) << c.name;
        EXPECT_EQ(f->GroupID(), c.groupID) << c.name;
        EXPECT_EQ(written(*f).toHex(), c.plainOut.toHex()) << c.name;
        if (!c.parsable) {
            EXPECT_TRUE(f->GetText().isEmpty()) << c.name;
        }
    }
}

TEST(ID3v2FrameReadWrite, BrokenSizesRaise)
{
    // Content cut off, a size the stream cannot hold, and sizes too small for what precedes it.
    EXPECT_THROW(readFrame(3, frame(3, "TIT2", hex("0041"), 0, 0, 3)), EID3v2ReadError);
    EXPECT_THROW(readFrame(4, hex("54495432") + hex("7f7f7f7f0000") + hex("00")), EID3v2ReadError);
    EXPECT_THROW(readFrame(3, hex("54495432ffffffff0000")), EID3v2ReadError);
    EXPECT_THROW(readFrame(2, hex("545432")), EID3v2ReadError);
    EXPECT_THROW(readFrame(4, frame(4, "TIT2", hex("0541424344"), 0, 0x41, 3)), EID3v2FrameError);
    EXPECT_THROW(readFrame(3, frame(3, "TIT2", {}, 0, 0x20)), EID3v2FrameError);
}

TEST(ID3v2Unsync, StreamHelper)
{
    struct Case {
        QByteArray in, out;
        bool inserted;
    };
    const Case cases[] = {
        {hex("ffe0"), hex("ff00e0"), true},     {hex("ff00"), hex("ff0000"), true},
        {hex("ff12"), hex("ff12"), false},      {hex("41ff"), hex("41ff00"), true},
        {{}, {}, false},                        {hex("ffff"), hex("ff00ff00"), true},
        {hex("00ff7f"), hex("00ff7f"), false},
    };
    for (const Case &c : cases) {
        QByteArray in = c.in;
        QBuffer source(&in);
        source.open(QIODevice::ReadOnly);
        QBuffer destination;
        destination.open(QIODevice::ReadWrite);
        EXPECT_EQ(UnsyncStream(source, destination), c.inserted) << c.in.toHex().constData();
        EXPECT_EQ(destination.data().toHex(), c.out.toHex());
        EXPECT_EQ(DeUnsyncBytes(c.out).toHex(), c.in.toHex());
    }
}

TEST(ID3v2Unsync, FrameWrittenUnsynchronisedReadsBack)
{
    auto f = withContent(4, "PRIV", hex("6f00ffe0ff"));
    f->SetFlagGroupingIndentity(true);
    f->SetGroupID(0xFF);
    const QByteArray out = written(*f, true);
    EXPECT_TRUE(f->FlagUnsynchronisation());
    // Group byte FF followed by the content's 6F needs nothing; FF E0 and the final FF do.
    EXPECT_EQ(out.toHex(), frame(4, "PRIV", hex("ff6f00ff00e0ff00"), 0, 0x42).toHex());
    const auto back = readFrame(4, out);
    EXPECT_EQ(content(*back).toHex(), QByteArray("6f00ffe0ff"));
    EXPECT_EQ(back->GroupID(), 0xFF);

    auto clean = withContent(4, "PRIV", hex("6f0041"));
    written(*clean, true);
    EXPECT_FALSE(clean->FlagUnsynchronisation());
    EXPECT_EQ(written(*back).toHex(), frame(4, "PRIV", hex("ff6f00ffe0ff"), 0, 0x40).toHex());
}

TEST(ID3v2FrameText, EncodingChosenBySetters)
{
    struct Case {
        QString value;
        bool alwaysUnicode;
        QByteArray content;
    };
    const Case cases[] = {
        {QStringLiteral("\u00e9"), false, hex("00e9")},
        {QStringLiteral("\u20ac"), false, hex("01fffeac20")},
        {QStringLiteral("a"), true, hex("01fffe6100")},
        {QStringLiteral(" "), false, hex("0020")},
    };
    for (const Case &c : cases) {
        TID3v2Frame f("TIT2", 3);
        f.SetAlwaysWriteUnicode(c.alwaysUnicode);
        f.SetText(c.value);
        EXPECT_EQ(content(f).toHex(), c.content.toHex());
        EXPECT_EQ(f.GetText(), c.value.trimmed());
        EXPECT_EQ(f.DataSize(), c.content.size());
    }
}

TEST(ID3v2FrameText, DecodingEveryEncoding)
{
    struct Case {
        QByteArray content;
        QString text;
    };
    const Case cases[] = {
        {hex("01feff00410042"), "AB"},          {hex("01fffe41004200"), "AB"},
        {hex("0141004200"), "AB"},              {hex("0200410042"), "AB"},
        {hex("03c3a4"), QStringLiteral("ä")}, {hex("00e400"), QStringLiteral("ä")},
        {hex("0080"), QStringLiteral("€")},   {hex("0741"), "A"},
        {hex("00200041200d00"), "A"},           {hex("01fffe"), ""},
        {hex("01fffe410042"), "A"},             {hex("00"), ""},
    };
    for (const Case &c : cases) {
        const auto f = withContent(4, "TIT2", c.content);
        EXPECT_EQ(f->GetText(), c.text) << c.content.toHex().constData();
    }
    EXPECT_TRUE(TID3v2Frame("TIT2", 3).GetText().isEmpty());
}

TEST(ID3v2FrameText, CodePageOfTheFrameAppliesToEightBitText)
{
    auto f = withContent(3, "TIT2", hex("00c0"));
    EXPECT_EQ(f->GetText(), QStringLiteral("\u00c0"));
    f->SetCharCode(TCodePage{QStringLiteral("Kyrillisch"), 1251, 1});
    f->SetAutoCorrectCodepage(true);
    EXPECT_EQ(f->GetText(), QStringLiteral("\u0410"));
}

TEST(ID3v2FrameText, UserTextCommentsAndUrlsInEveryVersion)
{
    for (int version : {2, 3, 4}) {
        const QByteArray txx = version == 2 ? "TXX" : "TXXX", com = version == 2 ? "COM" : "COMM",
                         wxx = version == 2 ? "WXX" : "WXXX";
        for (const QString &desc : {QStringLiteral("Stimmung"), QStringLiteral("Ωmega")}) {
            TID3v2Frame user(txx, quint8(version));
            user.SetUserText(desc, QStringLiteral("heiter"));
            QString d;
            EXPECT_EQ(user.GetUserText(d), QStringLiteral("heiter")) << version;
            EXPECT_EQ(d, desc);

            TID3v2Frame comment(com, quint8(version));
            comment.SetCommentsLyrics("deu", desc, QStringLiteral("Text ä"));
            QByteArray language;
            EXPECT_EQ(comment.GetCommentsLyrics(language, d), QStringLiteral("Text ä")) << version;
            EXPECT_EQ(language, QByteArray("deu"));
            EXPECT_EQ(d, desc);

            TID3v2Frame url(wxx, quint8(version));
            url.SetUserdefinedURL(desc, "http://example.org/");
            EXPECT_EQ(url.GetUserdefinedURL(d), QByteArray("http://example.org/")) << version;
            EXPECT_EQ(d, desc);
        }
    }

    TID3v2Frame user("TXXX", 3);
    user.SetUserText(QStringLiteral("a"), QStringLiteral("b"));
    EXPECT_EQ(content(user).toHex(), QByteArray("00610062"));
    user.SetUserText(QStringLiteral("a"), QStringLiteral("\u20ac"));
    EXPECT_EQ(content(user).toHex(), QByteArray("01fffe61000000fffeac20"));

    TID3v2Frame comment("COMM", 3);
    comment.SetCommentsLyrics("de", QString(), QStringLiteral("x"));
    EXPECT_EQ(content(comment).toHex(), QByteArray("00656e670078"));

    const auto trimmed = withContent(3, "WXXX", hex("0064000a687474703a2f2f6120"));
    QString d;
    EXPECT_EQ(trimmed->GetUserdefinedURL(d), QByteArray("http://a"));
    EXPECT_EQ(d, QStringLiteral("d"));

    TID3v2Frame url("WOAR", 4);
    url.SetURL({});
    EXPECT_EQ(url.GetURL(), QByteArray(" "));
    url.SetURL(" http://x ");
    EXPECT_EQ(url.GetURL(), QByteArray(" http://x "));

    // Too short to hold anything.
    QByteArray language;
    EXPECT_TRUE(withContent(3, "TXXX", hex("0041"))->GetUserText(d).isEmpty());
    EXPECT_TRUE(withContent(3, "COMM", hex("00656e67"))->GetCommentsLyrics(language, d).isEmpty());
    EXPECT_TRUE(language.isEmpty());
    EXPECT_TRUE(withContent(3, "WXXX", hex("00"))->GetUserdefinedURL(d).isEmpty());
}

TEST(ID3v2FramePicture, LayoutsPerVersion)
{
    QByteArray picture = hex("89504e470d0a1a0a");
    QBuffer pictureIn(&picture);
    pictureIn.open(QIODevice::ReadOnly);
    struct Case {
        int version;
        QByteArray mime;
        quint8 type;
        QByteArray stored;
        quint8 storedType;
    };
    const Case cases[] = {
        {3, "image/png", 3, "image/png", 3}, {4, "image/gif", 21, "image/gif", 0},
        {2, "image/png", 3, "PNG", 3},       {2, "image/gif", 4, "JPG", 4},
        {2, "GIF", 20, "GIF", 20},           {2, "PN", 1, "JPG", 1},
    };
    for (const Case &c : cases) {
        TID3v2Frame f(c.version == 2 ? "PIC" : "APIC", quint8(c.version));
        f.SetPicture(c.mime, c.type, QStringLiteral("Hülle"), &pictureIn);
        QByteArray mime;
        quint8 type = 99;
        QString description;
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        out.write("x");
        EXPECT_TRUE(f.GetPicture(mime, type, description, &out)) << c.version << c.mime.constData();
        EXPECT_EQ(mime, c.stored);
        EXPECT_EQ(type, c.storedType);
        EXPECT_EQ(description, QStringLiteral("Hülle"));
        EXPECT_EQ(out.data(), "x" + picture);
    }
    TID3v2Frame f("APIC", 3);
    f.SetPicture("image/png", 3, QStringLiteral("Ω"), &pictureIn);
    EXPECT_EQ(content(f).toHex(), (hex("01") + "image/png" + hex("0003fffea9030000") + picture).toHex());

    // A MIME type without its terminator, and a picture without bytes, give no picture.
    QByteArray mime;
    quint8 type;
    QString description;
    EXPECT_FALSE(withContent(3, "APIC", hex("00") + "image/png")->GetPicture(mime, type, description, nullptr));
    EXPECT_EQ(mime, QByteArray("image/png"));
    EXPECT_FALSE(withContent(3, "APIC", hex("00") + "image/png" + hex("000364") + hex("00"))
                     ->GetPicture(mime, type, description, nullptr));
    EXPECT_EQ(description, QStringLiteral("d"));
    EXPECT_FALSE(withContent(2, "PIC", hex("00504e470364"))->GetPicture(mime, type, description, nullptr));
}

TEST(ID3v2FramePopularimeter, RatingAndCounter)
{
    TID3v2Frame f("POPM", 3);
    QByteArray email;
    EXPECT_EQ(f.GetRating(email), 0);
    EXPECT_TRUE(email.isEmpty());
    f.SetRating("a@b", 196);
    EXPECT_EQ(content(f).toHex(), QByteArray("614062" "00" "c4"));
    f.SetPersonalPlayCounter("a@b", 0x01020304);
    EXPECT_EQ(content(f).toHex(), QByteArray("614062" "00" "c4" "01020304"));
    f.SetRating("c@d", 5); // keeps the counter
    EXPECT_EQ(f.GetPersonalPlayCounter(email), 0x01020304u);
    EXPECT_EQ(email, QByteArray("c@d"));
    EXPECT_EQ(f.GetRating(email), 5);
    f.SetPersonalPlayCounter("c@d", 0);
    EXPECT_EQ(content(f).toHex(), QByteArray("634064" "00" "05"));

    struct Case {
        QByteArray content;
        quint8 rating;
        quint32 counter;
    };
    const Case cases[] = {
        {hex("61"), 0, 0},                {hex("6100"), 0, 0},
        {hex("6100ff0000000001"), 255, 0}, // five counter bytes
        {hex("6100ff000001"), 255, 0},    {hex("6100ff00000101"), 255, 257},
    };
    for (const Case &c : cases) {
        const auto g = withContent(4, "POPM", c.content);
        EXPECT_EQ(g->GetRating(email), c.rating) << c.content.toHex().constData();
        EXPECT_EQ(g->GetPersonalPlayCounter(email), c.counter) << c.content.toHex().constData();
        EXPECT_EQ(email, QByteArray("a"));
    }
}

TEST(ID3v2FramePrivate, OwnerAndData)
{
    QByteArray data = hex("00ff01");
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    in.read(2); // read from the start whatever the position
    TID3v2Frame f("PRIV", 4);
    f.SetPrivateFrame("owner", &in);
    QByteArray owner;
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    EXPECT_TRUE(f.GetPrivateFrame(owner, &out));
    EXPECT_EQ(owner, QByteArray("owner"));
    EXPECT_EQ(out.data(), data);
    EXPECT_FALSE(withContent(4, "PRIV", "owner")->GetPrivateFrame(owner, nullptr));
    EXPECT_FALSE(withContent(4, "PRIV", QByteArray("owner") + '\0')->GetPrivateFrame(owner, nullptr));
}

TEST(ID3v2FrameChanges, SettersResetFlagsAndSizes)
{
    // All status bits and grouping; a content change keeps only the preservation bits and grouping.
    auto f = readFrame(3, frame(3, "TIT2", hex("07004142"), 0xFF, 0x20));
    f->SetText(QStringLiteral("Neu"));
    EXPECT_EQ(quint8(f->Header().at(8)), 0xC0);
    EXPECT_EQ(quint8(f->Header().at(9)), 0x20);
    EXPECT_EQ(written(*f).toHex(), frame(3, "TIT2", hex("07004e6575"), 0xC0, 0x20).toHex());

    // A compressed frame takes new content as plain.
    auto packed = readFrame(4, frame(4, "TIT2", hex("0000000478"), 0, 0x0D));
    EXPECT_TRUE(packed->GetText().isEmpty());
    QByteArray raw;
    QBuffer rawOut(&raw);
    rawOut.open(QIODevice::WriteOnly);
    packed->GetData(&rawOut);
    EXPECT_EQ(raw.toHex(), QByteArray("0000000478"));
    packed->SetText(QStringLiteral("x"));
    EXPECT_EQ(packed->GetText(), QStringLiteral("x"));
    EXPECT_EQ(written(*packed).toHex(), frame(4, "TIT2", hex("0078")).toHex());

    // SetData leaves the flags alone.
    auto kept = readFrame(3, frame(3, "TIT2", hex("0041"), 0x20));
    QByteArray more = hex("004243");
    QBuffer in(&more);
    in.open(QIODevice::ReadOnly);
    kept->SetData(&in);
    EXPECT_EQ(written(*kept).toHex(), frame(3, "TIT2", hex("004243"), 0x20).toHex());
}

TEST(ID3v2FrameHelpers, EncodingByteAndStreamEnd)
{
    const quint8 expected[] = {0, 1, 2, 3, 0, 0};
    const quint8 values[] = {0, 1, 2, 3, 4, 255};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ByteToTextEncoding(values[i]), expected[i]);

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    buffer.write("abcdef");
    buffer.seek(2);
    SetStreamEnd(buffer);
    EXPECT_EQ(buffer.data(), QByteArray("ab"));

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("abcdef");
    file.seek(3);
    SetStreamEnd(file);
    EXPECT_EQ(file.size(), 3);
    file.seek(0);
    EXPECT_EQ(file.readAll(), QByteArray("abc"));
}

TEST(Languages, Table)
{
    const QStringList &codes = LanguageCodes();
    const QStringList &names = LanguageNames();
    ASSERT_EQ(codes.size(), 427);
    ASSERT_EQ(names.size(), 427);
    EXPECT_EQ(codes.mid(0, 3), (QStringList{"aar", "abk", "ace"}));
    EXPECT_EQ(names.mid(0, 3), (QStringList{"Afar", "Abkhazian", "Achinese"}));
    EXPECT_EQ(codes.last(), QStringLiteral("zun"));
    EXPECT_EQ(names.last(), QStringLiteral("Zuni"));
    for (int i = 1; i < codes.size(); ++i)
        EXPECT_LE(codes[i - 1], codes[i]);
    struct Pair {
        const char *code, *name;
    };
    for (const Pair &p : {Pair{"eng", "English"}, Pair{"ger", "German"}, Pair{"deu", "German"},
                          Pair{"fre", "French"}, Pair{"fra", "French"}, Pair{"ine", "Indo-European (Other)"},
                          Pair{"mak", "Macedonian"}, Pair{"ssw", "Siswant"}}) {
        const int i = LanguageCodeIndex(QString::fromLatin1(p.code).toUpper());
        ASSERT_GE(i, 0) << p.code;
        EXPECT_EQ(names[i], QLatin1String(p.name));
    }
    for (const char *twice : {"ine", "mak", "ssw"})
        EXPECT_EQ(codes.count(QLatin1String(twice)), 2) << twice;
    const int interlingue = LanguageCodeIndex("ine") + 1;
    EXPECT_EQ(names[interlingue], QStringLiteral("Interlingue"));
    EXPECT_EQ(names[LanguageCodeIndex("mak") + 1], QStringLiteral("Makasar"));
    EXPECT_EQ(names[LanguageCodeIndex("ssw") + 1], QStringLiteral("Swazi"));
    EXPECT_EQ(LanguageCodeIndex("xyz"), -1);
}
