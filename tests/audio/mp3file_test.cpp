#include "audio/mp3file.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QFile>
#include <QtEndian>

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

using mpeg::FrameSpec;

FrameSpec stereo()
{
    return FrameSpec{}; // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz: 417-byte frames
}

FrameSpec mono()
{
    FrameSpec s;
    s.version = mpeg::Version::Mpeg2;
    s.bitrate = 64;
    s.sampleRate = 22050;
    s.mode = mpeg::Mode::Mono;
    return s;
}

// A v2.3 text frame in Latin-1.
QByteArray textFrame(const char *id, const QByteArray &text)
{
    const QByteArray body = '\0' + text;
    QByteArray f(id);
    char size[4];
    qToBigEndian(quint32(body.size()), size);
    f.append(size, 4);
    f.append(2, '\0');
    return f + body;
}

// An ID3v2.3 tag with the given frames and 1000 bytes of padding.
QByteArray id3v2(const QByteArray &frames)
{
    return mpeg::id3v2Tag(3, 0, false, frames + QByteArray(1000, '\0'));
}

TEST(AudioError, KeepsTheNumberOfTheTagLibrarysResult)
{
    const std::pair<int, TAudioError> cases[] = {
        {MP3ERR_None, FileErr_None},
        {MP3ERR_NoFile, FileErr_NoFile},
        {MP3ERR_FOpenCrt, FileErr_FileCreate},
        {MP3ERR_FOpenR, FileErr_FileOpenR},
        {MP3ERR_FOpenRW, FileErr_FileOpenRW},
        {MP3ERR_FOpenW, FileErr_FileOpenRW},
        {MP3ERR_SRead, MP3ERR_StreamRead},
        {MP3ERR_SWrite, MP3ERR_StreamWrite},
        {ID3ERR_Cache, Mp3ERR_Cache},
        {ID3ERR_NoTag, Mp3ERR_NoTag},
        {ID3ERR_Invalid_Header, MP3ERR_Invalid_Header},
        {ID3ERR_Compression, Mp3ERR_Compression},
        {ID3ERR_Unclassified, Mp3ERR_Unclassified},
        {MPEGERR_NoFrame, MP3ERR_NoMpegFrame},
        {14, Mp3ERR_Unclassified},
        {200, Mp3ERR_Unclassified},
    };
    for (const auto &[from, to] : cases)
        EXPECT_EQ(MP3ToAudioError(static_cast<TMP3Error>(from)), to) << from;
}

class Mp3FileTest : public TempDirTest {
};

TEST_F(Mp3FileTest, ReadsFactsAndTagsOfAFile)
{
    const QByteArray tag = id3v2(textFrame("TIT2", "Titel zwei") + textFrame("TRCK", "3/9"));
    const QByteArray audio = mpeg::junk(700) + mpeg::frames(stereo(), 500);
    const QByteArray v1 =
        mpeg::id3v1Tag(QStringLiteral("Titel eins"), QStringLiteral("Künstler"), QStringLiteral("Album"),
                       QStringLiteral("1999"), QStringLiteral("Kommentar"), 7, 17);
    const QString name = writeFile("a.mp3", tag + audio + v1);

    TMP3File file;
    ASSERT_EQ(file.ReadFromFile(name), FileErr_None);
    EXPECT_EQ(file.FileSize(), tag.size() + audio.size() + 128);
    EXPECT_EQ(file.ID3v2TagSize(), tag.size());
    EXPECT_EQ(file.ID3v1TagSize(), 128);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.MpegInfo().FirstHeaderPosition(), tag.size() + 700);
    EXPECT_EQ(file.Duration(), (500 * 417 + 128) * 8 / 128000);
    EXPECT_EQ(file.Dauer(), file.Duration());
    EXPECT_EQ(file.Bitrate(), 128);
    EXPECT_EQ(file.Samplerate(), 44100);
    EXPECT_EQ(file.Channels(), 2);

    // The ID3v2 tag wins where it has a text; the ID3v1 tag fills in the rest.
    EXPECT_EQ(file.Title(), QStringLiteral("Titel zwei"));
    EXPECT_EQ(file.Track(), QStringLiteral("3/9"));
    EXPECT_EQ(file.Artist(), QStringLiteral("Künstler"));
    EXPECT_EQ(file.Album(), QStringLiteral("Album"));
    EXPECT_EQ(file.Year(), QStringLiteral("1999"));
    EXPECT_EQ(file.Comment(), QStringLiteral("Kommentar"));
    EXPECT_EQ(file.Genre(), QStringLiteral("Rock"));
}

TEST_F(Mp3FileTest, KindsOfFiles)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        std::optional<TAudioError> result; // none where only the tag library decides
        bool valid;
        qint32 duration;
        qint32 channels;
    };
    const QByteArray audio = mpeg::frames(stereo(), 200); // 5.2 seconds
    QByteArray unknownVersion = mpeg::id3v2Tag(3, 2048);
    unknownVersion[3] = 5;
    const Case cases[] = {
        {"neither tag", audio, Mp3ERR_NoTag, true, 5, 2},
        {"only an ID3v1 tag", audio + mpeg::id3v1Tag(QStringLiteral("T")), Mp3ERR_NoTag, true, 5, 2},
        {"mono", mpeg::frames(mono(), 400), Mp3ERR_NoTag, true, 10, 1},
        {"not MPEG audio", QByteArray("Nur Text, keine Musik.\n").repeated(100), Mp3ERR_NoTag, false, 0, 0},
        {"ID3v2 header of an unknown version", unknownVersion + audio, MP3ERR_Invalid_Header, true, 5, 2},
        {"ID3v2 tag without audio", id3v2(textFrame("TIT2", "T")), FileErr_None, false, 0, 0},
        {"empty", QByteArray(), std::nullopt, false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TMP3File file;
        const TAudioError result = file.ReadFromFile(writeFile("f.mp3", c.bytes));
        if (c.result) {
            EXPECT_EQ(result, *c.result);
        }
        EXPECT_EQ(file.FileSize(), c.bytes.size());
        EXPECT_EQ(file.Valid(), c.valid);
        EXPECT_EQ(file.Duration(), c.duration);
        EXPECT_EQ(file.Channels(), c.channels);
        if (!c.valid) {
            EXPECT_EQ(file.Bitrate(), 0);
            EXPECT_EQ(file.Samplerate(), 0);
        }
    }
}

TEST_F(Mp3FileTest, TagLongerThanTheFile)
{
    QByteArray overlong = mpeg::id3v2Tag(3, 0, false, QByteArray(50, '\0'));
    overlong[6] = 0x7F; // claims about 256 MB
    const QByteArray bytes = overlong + mpeg::frames(stereo(), 20);
    TMP3File file;
    file.ReadFromFile(writeFile("f.mp3", bytes));
    EXPECT_EQ(file.FileSize(), bytes.size());
}

TEST_F(Mp3FileTest, EachReadStartsAfresh)
{
    TMP3File file;
    ASSERT_EQ(file.ReadFromFile(
                  writeFile("a.mp3", id3v2(textFrame("TIT2", "Alt")) + mpeg::frames(stereo(), 100) + mpeg::id3v1Tag())),
              FileErr_None);
    ASSERT_TRUE(file.Valid());

    EXPECT_EQ(file.ReadFromFile(path("fehlt.mp3")), FileErr_NoFile);
    EXPECT_EQ(file.ReadFromFile(dir.path()), FileErr_NoFile);
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(file.FileSize(), 0);
    EXPECT_EQ(file.Duration(), 0);
    EXPECT_EQ(file.ID3v1TagSize(), 0);
    EXPECT_EQ(file.ID3v2TagSize(), 0);
    EXPECT_EQ(file.Title(), QString());
}

TEST_F(Mp3FileTest, FieldsOfFilesWithoutTexts)
{
    TMP3File file;
    file.ReadFromFile(writeFile("a.mp3", mpeg::frames(stereo(), 10) + mpeg::id3v1Tag(QStringLiteral("Nur Titel"))));
    EXPECT_EQ(file.Title(), QStringLiteral("Nur Titel"));
    EXPECT_EQ(file.Track(), QStringLiteral("0"));
    EXPECT_EQ(file.Year(), QString()); // four NUL bytes in the file
    EXPECT_EQ(file.Artist(), QString());

    file.ReadFromFile(writeFile("b.mp3", mpeg::frames(stereo(), 10)));
    EXPECT_EQ(file.Track(), QStringLiteral("0"));
    EXPECT_EQ(file.Genre(), QString());
    file.ReadFromFile(writeFile("c.mp3", mpeg::frames(stereo(), 10) + mpeg::id3v1Tag({}, {}, {}, {}, {}, 0, 0)));
    EXPECT_EQ(file.Genre(), QStringLiteral("Blues"));
}

TEST_F(Mp3FileTest, SettersWriteBothTags)
{
    TMP3File file;
    file.SetTitle(QStringLiteral("Neu"));
    file.SetYear(QStringLiteral("02023"));
    file.SetTrack(QStringLiteral("12"));
    file.SetComment(QStringLiteral("Bemerkung"));
    EXPECT_EQ(file.ID3v1Tag().Title(), QStringLiteral("Neu"));
    EXPECT_EQ(file.ID3v2Tag().Title(), QStringLiteral("Neu"));
    EXPECT_EQ(file.ID3v1Tag().Year(), QByteArray("0202"));
    EXPECT_EQ(file.ID3v2Tag().Year(), QStringLiteral("02023"));
    EXPECT_EQ(file.ID3v1Tag().Track(), QStringLiteral("12"));
    EXPECT_EQ(file.ID3v2Tag().Track(), QStringLiteral("12"));
    EXPECT_EQ(file.ID3v1Tag().Comment(), QStringLiteral("Bemerkung"));
    EXPECT_EQ(file.ID3v2Tag().Comment(), QStringLiteral("Bemerkung"));
}

struct Found {
    bool v1;
    bool v2;
};

Found tagsIn(const QString &name)
{
    TMP3File check;
    check.ReadFromFile(name);
    EXPECT_TRUE(check.Valid()) << "the audio must survive";
    return {check.ID3v1TagSize() > 0 && check.ID3v1Tag().Title() == QLatin1String("Neu"),
            check.ID3v2TagSize() > 0 && check.ID3v2Tag().Title() == QLatin1String("Neu")};
}

QByteArray fileWith(bool v1, bool v2)
{
    return (v2 ? id3v2(textFrame("TIT2", "Alt")) : QByteArray()) + mpeg::frames(stereo(), 100) +
           (v1 ? mpeg::id3v1Tag(QStringLiteral("Alt")) : QByteArray());
}

TEST_F(Mp3FileTest, WriteModes)
{
    struct Case {
        const char *name;
        TTagWriteMode mode;
        TTagDefaultMode fallback;
        bool hadV1, hadV2;
        bool writesV1, writesV2;
    };
    const Case cases[] = {
        {"existing: only ID3v1", id3_existing, id3_def_both, true, false, true, false},
        {"existing: only ID3v2", id3_existing, id3_def_both, false, true, false, true},
        {"existing: both", id3_existing, id3_def_v1, true, true, true, true},
        {"existing: neither, default both", id3_existing, id3_def_both, false, false, true, true},
        {"existing: neither, default ID3v1", id3_existing, id3_def_v1, false, false, true, false},
        {"existing: neither, default ID3v2", id3_existing, id3_def_v2, false, false, false, true},
        {"both", id3_both, id3_def_v1, false, false, true, true},
        {"ID3v1", id3_v1, id3_def_both, false, true, true, false},
        {"ID3v2", id3_v2, id3_def_both, true, false, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = writeFile("w.mp3", fileWith(c.hadV1, c.hadV2));
        TMP3File file;
        file.ReadFromFile(name);
        file.SetTagWriteMode(c.mode);
        file.SetTagDefaultMode(c.fallback);
        file.SetTitle(QStringLiteral("Neu"));
        EXPECT_EQ(file.WriteToFile(name), FileErr_None);
        const Found found = tagsIn(name);
        EXPECT_EQ(found.v1, c.writesV1);
        EXPECT_EQ(found.v2, c.writesV2);
    }
}

TEST_F(Mp3FileTest, RemoveModes)
{
    struct Case {
        const char *name;
        TTagDeleteMode mode;
        bool hadV1, hadV2;
        TAudioError result;
        bool keepsV1, keepsV2;
    };
    const Case cases[] = {
        {"both", id3_del_both, true, true, FileErr_None, false, false},
        {"ID3v1", id3_del_v1, true, true, FileErr_None, false, true},
        {"ID3v2", id3_del_v2, true, true, FileErr_None, true, false},
        {"both, only ID3v2 there", id3_del_both, false, true, FileErr_None, false, false},
        {"both, only ID3v1 there", id3_del_both, true, false, Mp3ERR_NoTag, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = writeFile("r.mp3", fileWith(c.hadV1, c.hadV2));
        TMP3File file;
        file.SetTagDeleteMode(c.mode);
        EXPECT_EQ(file.RemoveFromFile(name), c.result);
        TMP3File check;
        check.ReadFromFile(name);
        EXPECT_TRUE(check.Valid());
        EXPECT_EQ(check.ID3v1TagSize() > 0, c.keepsV1);
        EXPECT_EQ(check.ID3v2TagSize() > 0, c.keepsV2);
    }
}

// Lets no file of this process grow beyond `bytes`, so appending an ID3v1 tag fails while an
// ID3v2 tag that fits its padding can still be written in place.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }

private:
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

TAudioError writeWithin(TMP3File &file, const QString &name, qint64 limit)
{
    FileSizeLimit guard(limit);
    return file.WriteToFile(name);
}

TEST_F(Mp3FileTest, FailedID3v1WriteStopsBoth)
{
    const QByteArray before = fileWith(false, true);
    const QString name = writeFile("b.mp3", before);
    TMP3File file;
    file.ReadFromFile(name);
    file.SetTagWriteMode(id3_both);
    file.SetTitle(QStringLiteral("Neu"));
    EXPECT_EQ(writeWithin(file, name, before.size()), MP3ERR_StreamWrite);
    EXPECT_EQ(readFile(name), before) << "the ID3v2 tag must stay unwritten";
}

TEST_F(Mp3FileTest, FailedID3v1WriteIsNotHiddenByTheID3v2Write)
{
    const QByteArray withV1 = fileWith(true, true);
    const QString name = writeFile("e.mp3", withV1);
    TMP3File file;
    file.ReadFromFile(name);
    file.SetTitle(QStringLiteral("Neu"));
    // The ID3v1 tag disappears behind the object's back, so writing it must append.
    ASSERT_TRUE(QFile::resize(name, withV1.size() - 128));
    EXPECT_EQ(writeWithin(file, name, withV1.size() - 128), MP3ERR_StreamWrite);
    TMP3File check;
    check.ReadFromFile(name);
    EXPECT_EQ(check.ID3v2Tag().Title(), QStringLiteral("Neu"));
    EXPECT_EQ(check.ID3v1TagSize(), 0);
}

} // namespace
