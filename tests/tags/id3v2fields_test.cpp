#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace v2bytes;

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// A tag of the given version holding `frames`, as read from a file.
void load(TID3v2Tag &tag, int version, const QByteArray &frames = {})
{
    QByteArray bytes = v2bytes::tag(version, frames, 64);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_EQ(tag.ReadFromStream(buffer), MP3ERR_None);
}

QStringList ids(const TID3v2Tag::TFrameList &frames)
{
    QStringList list;
    for (const TID3v2Frame *f : frames)
        list << QString::fromLatin1(f->FrameIDString());
    return list;
}

QStringList ids(const TID3v2Tag &tag)
{
    return ids(tag.GetAllFrames());
}

QByteArray content(const TID3v2Frame &frame)
{
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    frame.GetData(&out);
    return out.data();
}

} // namespace

TEST(ID3v2Fields, NamedPropertiesUseTheVersionsIDs)
{
    using Setter = void (TID3v2Tag::*)(const QString &);
    using Getter = QString (TID3v2Tag::*)() const;
    struct Case {
        Setter set;
        Getter get;
        const char *v2, *v3, *v4;
    };
    const Case cases[] = {
        {&TID3v2Tag::SetTitle, &TID3v2Tag::Title, "TT2", "TIT2", "TIT2"},
        {&TID3v2Tag::SetArtist, &TID3v2Tag::Artist, "TP1", "TPE1", "TPE1"},
        {&TID3v2Tag::SetAlbum, &TID3v2Tag::Album, "TAL", "TALB", "TALB"},
        {&TID3v2Tag::SetTrack, &TID3v2Tag::Track, "TRK", "TRCK", "TRCK"},
        {&TID3v2Tag::SetYear, &TID3v2Tag::Year, "TYE", "TYER", "TDRC"},
        {&TID3v2Tag::SetComposer, &TID3v2Tag::Composer, "TCM", "TCOM", "TCOM"},
        {&TID3v2Tag::SetOriginalArtist, &TID3v2Tag::OriginalArtist, "TOA", "TOPE", "TOPE"},
        {&TID3v2Tag::SetCopyright, &TID3v2Tag::Copyright, "TCR", "TCOP", "TCOP"},
        {&TID3v2Tag::SetEncodedBy, &TID3v2Tag::EncodedBy, "TEN", "TENC", "TENC"},
        {&TID3v2Tag::SetLanguages, &TID3v2Tag::Languages, "TLA", "TLAN", "TLAN"},
        {&TID3v2Tag::SetSoftwareSettings, &TID3v2Tag::SoftwareSettings, "TSS", "TSSE", "TSSE"},
        {&TID3v2Tag::SetMediatype, &TID3v2Tag::Mediatype, "TMT", "TMED", "TMED"},
        {&TID3v2Tag::SetId3Length, &TID3v2Tag::Id3Length, "TLE", "TLEN", "TLEN"},
        {&TID3v2Tag::SetPublisher, &TID3v2Tag::Publisher, "TPB", "TPUB", "TPUB"},
        {&TID3v2Tag::SetOriginalFilename, &TID3v2Tag::OriginalFilename, "TOF", "TOFN", "TOFN"},
        {&TID3v2Tag::SetOriginalLyricist, &TID3v2Tag::OriginalLyricist, "TOL", "TOLY", "TOLY"},
        {&TID3v2Tag::SetOriginalReleaseYear, &TID3v2Tag::OriginalReleaseYear, "TOR", "TORY", "TDOR"},
        {&TID3v2Tag::SetOriginalAlbumTitel, &TID3v2Tag::OriginalAlbumTitel, "TOT", "TOAL", "TOAL"},
    };
    for (int version : {2, 3, 4}) {
        for (const Case &c : cases) {
            TID3v2Tag tag;
            load(tag, version);
            (tag.*c.set)(QStringLiteral("1984"));
            const char *id = version == 2 ? c.v2 : version == 3 ? c.v3 : c.v4;
            EXPECT_EQ(ids(tag), QStringList{QLatin1String(id)}) << version << " " << id;
            EXPECT_EQ((tag.*c.get)(), QStringLiteral("1984")) << version << " " << id;
            (tag.*c.set)(QString());
            EXPECT_TRUE(tag.Frames().empty()) << version << " " << id;
        }
    }
}

TEST(ID3v2Fields, TextByIdentifier)
{
    TID3v2Tag tag;
    tag.SetTitle(QStringLiteral("A"));
    tag.SetArtist(QStringLiteral("B"));
    tag.SetTitle(QString());
    tag.SetTitle(QStringLiteral("C"));
    EXPECT_EQ(ids(tag), (QStringList{"TPE1", "TIT2"})); // a new title goes to the end

    tag.SetText(IDv2_ENCODINGTIME, QStringLiteral("2024")); // v2.3 has no such frame
    tag.SetText(IDv2_PICTURE, QStringLiteral("x"));         // not a text frame
    EXPECT_EQ(tag.Frames().size(), 2u);
    TID3v2Tag v4;
    load(v4, 4);
    v4.SetText(IDv2_ENCODINGTIME, QStringLiteral("2024"));
    EXPECT_EQ(ids(v4), QStringList{"TDEN"});
    EXPECT_EQ(v4.GetText(IDv2_ENCODINGTIME), QStringLiteral("2024"));

    // Several frames with one ID: the first one counts.
    TID3v2Tag twice;
    load(twice, 3, frame(3, "TIT2", hex("0031")) + frame(3, "TIT2", hex("0032")));
    EXPECT_EQ(twice.Title(), QStringLiteral("1"));
    twice.SetTitle(QStringLiteral("3"));
    EXPECT_EQ(content(*twice.Frames()[1]), hex("0032"));

    tag.SetURL(IDv2_ARTISTURL, "http://a");
    tag.SetURL(IDv2_TITEL, "any valid ID");
    tag.SetURL(IDv2_ENCODINGTIME, "refused");
    EXPECT_EQ(tag.GetURL(IDv2_ARTISTURL), QByteArray("http://a"));
    EXPECT_EQ(ids(tag), (QStringList{"TPE1", "TIT2", "WOAR"}));
    EXPECT_EQ(tag.Title(), QStringLiteral("ny valid ID")); // the URL's first byte reads as the encoding
    tag.SetURL(IDv2_ARTISTURL, {});
    EXPECT_TRUE(tag.GetURL(IDv2_ARTISTURL).isEmpty());
}

TEST(ID3v2Fields, Genre)
{
    struct Stored {
        QString text, reads;
    };
    const Stored stored[] = {
        {"(17)", "Rock"},           {"(17)Rock", "Rock"},   {"(273)", "Rock"},
        {"(255)", "(255)"},         {"(ab)", "(ab)"},       {"Weltmusik", "Weltmusik"},
        {"(147)", "Synthpop"},      {"(148)", "(148)"},     {")17(", ")17("},
        {"(-239)", "Rock"},         {"", ""},
    };
    for (const Stored &s : stored) {
        TID3v2Tag tag;
        tag.SetText(IDv2_GENRE, s.text);
        EXPECT_EQ(tag.Genre(), s.reads) << s.text.toStdString();
    }
    TID3v2Tag tag;
    tag.SetGenre(QStringLiteral("rock"));
    EXPECT_EQ(tag.GetText(IDv2_GENRE), QStringLiteral("(17)rock"));
    EXPECT_EQ(tag.Genre(), QStringLiteral("Rock"));
    tag.SetGenre(QStringLiteral("Weltmusik"));
    EXPECT_EQ(tag.GetText(IDv2_GENRE), QStringLiteral("Weltmusik"));
    tag.SetGenre(QString());
    EXPECT_TRUE(tag.Frames().empty());
}

TEST(ID3v2Fields, Year)
{
    struct Case {
        QString value, stored;
    };
    const Case cases[] = {
        {" 85 ", "0085"}, {"2024", "2024"}, {"1", "0001"},   {"9999", "9999"}, {"0", ""},
        {"12345", ""},    {"-5", ""},       {"abc", ""},     {"", ""},         {"\t07\n", "0007"},
    };
    for (const Case &c : cases) {
        TID3v2Tag tag;
        tag.SetYear(QStringLiteral("1999"));
        tag.SetYear(c.value);
        EXPECT_EQ(tag.Year(), c.stored) << c.value.toStdString();
        EXPECT_EQ(tag.Frames().size(), c.stored.isEmpty() ? 0u : 1u) << c.value.toStdString();
    }
}

TEST(ID3v2Fields, CommentsAndLyrics)
{
    const QByteArray deuEmpty = frame(3, "COMM", hex("00") + "deu" + hex("00") + "alt");
    const QByteArray engNamed = frame(3, "COMM", hex("00") + "eng" + "Notiz" + hex("00") + "benannt");
    {
        TID3v2Tag tag;
        load(tag, 3, engNamed + deuEmpty);
        EXPECT_EQ(tag.Comment(), QStringLiteral("alt")); // a named comment is not the comment
        tag.SetComment(QStringLiteral("neu"));
        EXPECT_EQ(tag.Frames().size(), 2u);
        QByteArray language;
        QString description;
        EXPECT_EQ(tag.Frames()[1]->GetCommentsLyrics(language, description), QStringLiteral("neu"));
        EXPECT_EQ(language, QByteArray("eng"));
        EXPECT_EQ(tag.GetExtendedComment("eng", QStringLiteral("Notiz")), QStringLiteral("benannt"));
        EXPECT_TRUE(tag.GetExtendedComment("deu", QStringLiteral("Notiz")).isEmpty());
        EXPECT_TRUE(tag.GetExtendedComment("eng", QStringLiteral("notiz")).isEmpty());
        EXPECT_EQ(tag.GetExtendedComment("", QStringLiteral("Notiz")), QStringLiteral("benannt"));
        EXPECT_FALSE(tag.ValidNewCommentFrame("*", QStringLiteral("Notiz")));
        EXPECT_TRUE(tag.ValidNewCommentFrame("fra", QStringLiteral("Notiz")));
        tag.SetComment(QString());
        EXPECT_EQ(tag.Frames().size(), 1u);
        EXPECT_TRUE(tag.Comment().isEmpty());
    }
    {
        TID3v2Tag tag;
        load(tag, 3, engNamed + deuEmpty);
        tag.SetExtendedComment("*", QStringLiteral("*"), QStringLiteral("erster"));
        QByteArray language;
        QString description;
        EXPECT_EQ(tag.Frames()[0]->GetCommentsLyrics(language, description), QStringLiteral("erster"));
        EXPECT_EQ(description, QStringLiteral("*"));
        EXPECT_EQ(language, QByteArray("eng"));
        tag.SetExtendedComment("de", QStringLiteral("Kurz"), QStringLiteral("x")); // two letters: eng
        EXPECT_EQ(tag.GetExtendedComment("eng", QStringLiteral("Kurz")), QStringLiteral("x"));
        EXPECT_EQ(tag.GetAllCommentFrames().size(), 3);
    }
    {
        TID3v2Tag tag;
        load(tag, 2);
        tag.SetLyrics(QStringLiteral("La la"));
        tag.SetLyrics("deu", QStringLiteral("Strophe"), QStringLiteral("Lied"));
        EXPECT_EQ(ids(tag), (QStringList{"ULT", "ULT"}));
        EXPECT_EQ(tag.Lyrics(), QStringLiteral("La la"));
        EXPECT_EQ(tag.GetLyrics("deu", QStringLiteral("Strophe")), QStringLiteral("Lied"));
        EXPECT_FALSE(tag.ValidNewLyricFrame("deu", QStringLiteral("Strophe")));
        EXPECT_EQ(tag.GetAllLyricFrames().size(), 2);
    }
}

TEST(ID3v2Fields, UserTextAndUserURL)
{
    TID3v2Tag tag;
    tag.SetUserText(QStringLiteral("Stimmung"), QStringLiteral("heiter"));
    EXPECT_EQ(tag.GetUserText(QStringLiteral("STIMMUNG")), QStringLiteral("heiter"));
    tag.SetUserText(QStringLiteral("stimmung"), QStringLiteral("ernst"));
    ASSERT_EQ(tag.Frames().size(), 1u);
    QString description;
    EXPECT_EQ(tag.Frames()[0]->GetUserText(description), QStringLiteral("ernst"));
    EXPECT_EQ(description, QStringLiteral("stimmung")); // the caller's letter case
    tag.SetUserText(QStringLiteral("Stimmung"), QString());
    EXPECT_TRUE(tag.Frames().empty());

    tag.SetURL("http://home");
    tag.SetUserDefinedURL(QStringLiteral("Shop"), "http://shop");
    EXPECT_EQ(tag.URL(), QByteArray("http://home"));
    EXPECT_EQ(tag.GetUserDefinedURL(QStringLiteral("Shop")), QByteArray("http://shop"));
    EXPECT_TRUE(tag.GetUserDefinedURL(QStringLiteral("shop")).isEmpty());
    EXPECT_FALSE(tag.ValidNewUserDefUrlFrame(QStringLiteral("Shop")));
    EXPECT_TRUE(tag.ValidNewUserDefUrlFrame(QStringLiteral("*")));
    EXPECT_EQ(tag.GetAllUserDefinedURLFrames().size(), 2);
    tag.SetURL({});
    EXPECT_TRUE(tag.URL().isEmpty());
    EXPECT_EQ(tag.Frames().size(), 1u);
}

TEST(ID3v2Fields, Pictures)
{
    QByteArray picture = hex("ffd8ffe0");
    QBuffer pictureIn(&picture);
    pictureIn.open(QIODevice::ReadOnly);
    for (int version : {2, 3}) {
        TID3v2Tag tag;
        load(tag, version);
        tag.SetPicture("*", 3, QStringLiteral("*"), &pictureIn);
        ASSERT_EQ(tag.Frames().size(), 1u) << version;
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        EXPECT_EQ(tag.GetPicture(&out, QString()), QByteArray(version == 2 ? "JPG" : "image/jpeg")) << version;
        EXPECT_EQ(out.data(), picture);
        EXPECT_FALSE(tag.ValidNewPictureFrame(QString()));
        EXPECT_TRUE(tag.ValidNewPictureFrame(QStringLiteral("Rückseite")));

        // "*" keeps MIME type, description and picture; only the type changes; the caller's empty
        // stream receives the picture.
        tag.SetPicture("image/png", 4, QStringLiteral("Rückseite"), &pictureIn);
        QBuffer empty;
        empty.open(QIODevice::ReadWrite);
        tag.SetPicture("*", 5, QStringLiteral("Rückseite"), &empty);
        EXPECT_EQ(empty.data(), picture) << version;
        QByteArray mime;
        quint8 type = 0;
        QString description;
        EXPECT_TRUE(tag.Frames()[1]->GetPicture(mime, type, description, nullptr));
        EXPECT_EQ(mime, QByteArray(version == 2 ? "PNG" : "image/png")) << version;
        EXPECT_EQ(type, 5);
        EXPECT_EQ(description, QStringLiteral("Rückseite"));

        // A new MIME type with a "*" description keeps the description and takes the new picture.
        QByteArray other = hex("89504e47");
        QBuffer otherIn(&other);
        otherIn.open(QIODevice::ReadOnly);
        tag.SetPicture("image/gif", 6, QStringLiteral("*"), &otherIn);
        QBuffer first;
        first.open(QIODevice::ReadWrite);
        tag.GetPicture(&first, QStringLiteral("*"));
        EXPECT_EQ(first.data(), other);
        EXPECT_TRUE(tag.Frames()[0]->GetPicture(mime, type, description, nullptr));
        EXPECT_EQ(description, QString());
        EXPECT_EQ(type, 6);

        tag.SetPicture("*", 0, QStringLiteral("Rückseite"), nullptr);
        EXPECT_EQ(tag.GetAllPictureFrames().size(), 1);
        tag.SetPicture("*", 0, QStringLiteral("Nichts"), &first);
        tag.SetPicture("*", 0, QStringLiteral("Leer"), nullptr); // nothing to delete, nothing to add
        EXPECT_EQ(tag.GetAllPictureFrames().size(), 2);
    }
}

TEST(ID3v2Fields, SetPictureWithEmptyStreamOnANewDescriptionAddsNothing)
{
    TID3v2Tag tag;
    QBuffer empty;
    empty.open(QIODevice::ReadWrite);
    tag.SetPicture("image/png", 3, QStringLiteral("x"), &empty);
    EXPECT_TRUE(tag.Frames().empty());
}

TEST(ID3v2Fields, RatingAndPlayCounter)
{
    const QByteArray existing = frame(3, "POPM", QByteArray("me@x") + hex("00") + hex("80") + be32(7));
    struct Case {
        const char *name;
        bool hasFrame;
        const char *email;
        qint32 rating, counter;
        bool frameAfter;
        QByteArray contentAfter;
    };
    const Case cases[] = {
        {"both zero delete", true, "*", 0, 0, false, {}},
        {"zeros on a tag without one add a frame", false, "*", 0, 0, true, DefaultRatingOwner + hex("0000")},
        {"rating only", true, "*", 200, -1, true, QByteArray("me@x") + hex("00c8") + be32(7)},
        {"counter only", true, "*", -1, 9, true, QByteArray("me@x") + hex("0080") + be32(9)},
        {"rating of 300 keeps its low byte", true, "me@x", 300, -1, true, QByteArray("me@x") + hex("002c") + be32(7)},
        {"negative counter is 0", true, "*", -1, -5, true, QByteArray("me@x") + hex("0080")},
        {"new owner", true, "you@x", 10, -1, true, QByteArray("you@x") + hex("000a")},
        {"nothing given adds an empty frame", false, "*", -1, -1, true, {}},
        {"nothing given keeps the frame", true, "*", -1, -1, true, QByteArray("me@x") + hex("0080") + be32(7)},
    };
    for (const Case &c : cases) {
        TID3v2Tag tag;
        load(tag, 3, c.hasFrame ? existing : QByteArray());
        tag.SetRatingAndCounter(c.email, c.rating, c.counter);
        const auto popm = tag.GetAllPopularimeterFrames();
        const QByteArray email(c.email);
        const TID3v2Frame *target = nullptr;
        for (const TID3v2Frame *f : popm) {
            QByteArray e;
            f->GetRating(e);
            if (email == "*" || e == email || content(*f).isEmpty())
                target = f;
        }
        EXPECT_EQ(target != nullptr, c.frameAfter) << c.name;
        if (target != nullptr) {
            EXPECT_EQ(content(*target).toHex(), c.contentAfter.toHex()) << c.name;
        }
    }

    TID3v2Tag tag;
    load(tag, 3, existing);
    EXPECT_EQ(tag.Rating(), 0x80);
    EXPECT_EQ(tag.PlayCounter(), 7u);
    EXPECT_EQ(tag.GetRating("me@x"), 0x80);
    EXPECT_EQ(tag.GetRating("other"), 0);
    EXPECT_FALSE(tag.ValidNewPopularimeterFrame("me@x"));
    EXPECT_TRUE(tag.ValidNewPopularimeterFrame("other"));
    tag.SetPlayCounter(4294967295u); // passed as -1: no change
    EXPECT_EQ(content(*tag.Frames()[0]).toHex(), (QByteArray("me@x") + hex("0080") + be32(7)).toHex());

    TID3v2Tag fresh;
    fresh.SetRating(255);
    EXPECT_EQ(content(*fresh.Frames()[0]).toHex(), (DefaultRatingOwner + hex("00ff")).toHex());
    fresh.SetRating(0); // no counter left: the frame goes
    EXPECT_TRUE(fresh.Frames().empty());
    fresh.SetPlayCounter(4294967295u);
    ASSERT_EQ(fresh.Frames().size(), 1u);
    EXPECT_TRUE(content(*fresh.Frames()[0]).isEmpty());
}

TEST(ID3v2Fields, PrivateFrames)
{
    TID3v2Tag tag;
    QByteArray data = hex("000102");
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    tag.SetPrivateFrame("owner", &in);
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    EXPECT_TRUE(tag.GetPrivateFrame("owner", &out));
    EXPECT_EQ(out.data(), data);
    EXPECT_FALSE(tag.GetPrivateFrame("*", &out));
    QBuffer empty;
    empty.open(QIODevice::ReadWrite);
    tag.SetPrivateFrame("other", &empty); // empty content adds nothing
    EXPECT_EQ(tag.GetAllPrivateFrames().size(), 1);
    tag.SetPrivateFrame("owner", &empty); // and deletes
    EXPECT_TRUE(tag.Frames().empty());
}

TEST(ID3v2Fields, ListsAllowedFramesAddAndDelete)
{
    TID3v2Tag tag;
    load(tag, 3,
         frame(3, "TIT2", hex("0041")) + frame(3, "TXXX", hex("00610062")) + frame(3, "WOAR", "http://a") +
             frame(3, "COMM", hex("00656e670078")) + frame(3, "APIC", hex("00") + "image/png" + hex("00030001")) +
             frame(3, "PRIV", hex("6f0001")) + frame(3, "ABCD", "?"));
    EXPECT_EQ(ids(tag.GetAllTextFrames()), QStringList{"TIT2"});
    EXPECT_EQ(ids(tag.GetAllUserTextFrames()), QStringList{"TXXX"});
    EXPECT_EQ(ids(tag.GetAllURLFrames()), QStringList{"WOAR"});
    EXPECT_EQ(ids(tag.GetAllCommentFrames()), QStringList{"COMM"});
    EXPECT_EQ(ids(tag.GetAllPictureFrames()), QStringList{"APIC"});
    EXPECT_EQ(ids(tag.GetAllPrivateFrames()), QStringList{"PRIV"});
    EXPECT_EQ(tag.GetAllFrames().size(), 7);
    TID3v2Tag::TFrameList list{nullptr};
    tag.GetAllTextFrames(list);
    EXPECT_EQ(ids(list), QStringList{"TIT2"});

    QList<TFrameIDs> expected;
    for (int id = IDv2_ARTIST; id <= IDv2_INTERNETRADIOOWNER; ++id)
        expected << TFrameIDs(id);
    expected.removeOne(IDv2_TITEL);
    EXPECT_EQ(tag.GetAllowedTextFrames(), expected);
    QList<TFrameIDs> urls;
    for (int id = IDv2_AUDIOFILEURL; id <= IDv2_PAYMENTURL; ++id)
        if (id != IDv2_ARTISTURL)
            urls << TFrameIDs(id);
    EXPECT_EQ(tag.GetAllowedURLFrames(), urls);

    struct Empty {
        int version;
        TFrameIDs lastText, lastURL;
    };
    for (const Empty &e : {Empty{2, IDv2_LYRICIST, IDv2_PUBLISHERSURL}, Empty{4, IDv2_SETSUBTITLE, IDv2_PAYMENTURL}}) {
        TID3v2Tag empty;
        load(empty, e.version);
        const QList<TFrameIDs> allowed = empty.GetAllowedTextFrames();
        ASSERT_FALSE(allowed.isEmpty());
        EXPECT_EQ(allowed.first(), IDv2_ARTIST);
        EXPECT_EQ(allowed.last(), e.lastText);
        EXPECT_EQ(allowed.size(), e.lastText - IDv2_ARTIST + 1);
        EXPECT_EQ(empty.GetAllowedURLFrames().last(), e.lastURL);
    }

    tag.SetAlwaysWriteUnicode(true);
    TID3v2Frame *added = tag.AddFrame(IDv2_COMMENT);
    EXPECT_EQ(added->FrameIDString(), QByteArray("COMM"));
    EXPECT_FALSE(added->AlwaysWriteUnicode());
    EXPECT_EQ(added->DataSize(), 0);
    EXPECT_EQ(tag.Frames().back().get(), added);
    EXPECT_EQ(tag.AddFrame(IDv2_ENCODINGTIME)->FrameIDString(), QByteArray("XXXX"));
    // Frames read before the change keep the setting they were read with.
    tag.SetTitle(QStringLiteral("Ä"));
    EXPECT_EQ(content(*tag.Frames()[0]).toHex(), QByteArray("00c4"));
    tag.SetArtist(QStringLiteral("Ä"));
    EXPECT_EQ(content(*tag.Frames().back()).toHex(), QByteArray("01fffec400"));
    const int before = int(tag.Frames().size());
    TID3v2Frame stranger("TIT2", 3);
    tag.DeleteFrame(&stranger);
    EXPECT_EQ(int(tag.Frames().size()), before);
    tag.DeleteFrame(added);
    EXPECT_EQ(int(tag.Frames().size()), before - 1);
}

TEST(ID3v2Fields, TextSettingsReachEveryFrame)
{
    TID3v2Tag tag;
    load(tag, 3, frame(3, "TIT2", hex("00c0")));
    EXPECT_EQ(tag.Title(), QStringLiteral("\u00c0"));
    tag.SetCharCode(TCodePage{QStringLiteral("Kyrillisch"), 1251, 1});
    tag.SetAutoCorrectCodepage(true);
    EXPECT_EQ(tag.Title(), QStringLiteral("\u0410"));
    EXPECT_EQ(tag.Frames()[0]->CharCode().CodePage, 1251u);
    tag.SetArtist(QStringLiteral("x"));
    EXPECT_TRUE(tag.Frames()[1]->AutoCorrectCodepage());
}
