#include "support/tempdir.h"
#include "tags/errorreporter.h"
#include "tags/id3genres.h"
#include "tags/id3v1tag.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// A tag with the given raw bytes at 125 and 126; the comment fills all 30 bytes.
QByteArray rawTag(char at125, char at126, char genre = 17)
{
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, 5, "Titel");
    tag.replace(33, 7, "Artist ");
    tag.replace(63, 5, "Album");
    tag.replace(93, 4, "1999");
    tag.replace(97, 30, "abcdefghijklmnopqrstuvwxyz1234");
    tag[125] = at125;
    tag[126] = at126;
    tag[127] = genre;
    return tag;
}

const QByteArray kAudio = QByteArray(300, '\x55');

class Id3v1Test : public TempDirTest {};

} // namespace

TEST(Id3Genres, ListAndCaseInsensitiveSearch)
{
    const QStringList &genres = ID3GenreList();
    ASSERT_EQ(genres.size(), 148);
    EXPECT_EQ(genres.first(), QStringLiteral("Blues"));
    EXPECT_EQ(genres.last(), QStringLiteral("Synthpop"));
    EXPECT_EQ(ID3GenreIndex(QStringLiteral("drum & bass")), 127);
    EXPECT_EQ(ID3GenreIndex(QStringLiteral("Rock & Roll")), 78);
    EXPECT_EQ(ID3GenreIndex(QStringLiteral("Rock and Roll")), -1);

    // Stored tags and other players rely on these old spellings; none may be "corrected".
    struct Case {
        int index;
        const char *name;
    };
    const Case spellings[] = {
        {14, "R&B"},          {29, "Jazz+Funk"},         {40, "AlternRock"},
        {62, "Pop/Funk"},     {67, "Psychadelic"},       {78, "Rock & Roll"},
        {85, "Bebob"},        {90, "Avantgarde"},        {92, "Progessive Rock"},
        {100, "Humour"},      {123, "A capella"},        {125, "Dance Hall"},
        {128, "Club-House"},  {132, "BritPop"},          {133, "Negerunk"},
        {134, "Polsk Punk"},  {144, "Trash Metal"},      {146, "JPop"},
    };
    for (const Case &c : spellings)
        EXPECT_EQ(genres.value(c.index), QString::fromUtf8(c.name)) << c.index;
}

TEST(Id3v1Tag, ClearedTag)
{
    TID3v1Tag tag;
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Title(), QString());
    EXPECT_EQ(tag.Year(), QByteArray(4, '\0'));
    EXPECT_EQ(tag.Track(), QStringLiteral("0"));
    EXPECT_EQ(tag.Genre(), QStringLiteral("Blues"));
}

TEST(Id3v1Tag, ReadsBothForms)
{
    struct Case {
        const char *name;
        char at125, at126;
        quint8 version;
        QString comment, track;
    };
    const Case cases[] = {
        {"1.1", '\0', '\x07', 1, QStringLiteral("abcdefghijklmnopqrstuvwxyz12"), QStringLiteral("7")},
        {"both zero", '\0', '\0', 0, QStringLiteral("abcdefghijklmnopqrstuvwxyz12"), QStringLiteral("0")},
        {"1.0", '3', '4', 0, QStringLiteral("abcdefghijklmnopqrstuvwxyz1234"), QStringLiteral("0")},
    };
    for (const Case &c : cases) {
        QByteArray data = kAudio + rawTag(c.at125, c.at126);
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        TID3v1Tag tag;
        ASSERT_EQ(tag.ReadFromStream(buffer), MP3ERR_None) << c.name;
        EXPECT_TRUE(tag.Exists()) << c.name;
        EXPECT_EQ(tag.Version(), c.version) << c.name;
        EXPECT_EQ(tag.Comment(), c.comment) << c.name;
        EXPECT_EQ(tag.Track(), c.track) << c.name;
        EXPECT_EQ(tag.Title(), QStringLiteral("Titel")) << c.name;
        EXPECT_EQ(tag.Artist(), QStringLiteral("Artist")) << c.name;
        EXPECT_EQ(tag.Album(), QStringLiteral("Album")) << c.name;
        EXPECT_EQ(tag.Year(), QByteArray("1999")) << c.name;
        EXPECT_EQ(tag.Genre(), QStringLiteral("Rock")) << c.name;
    }
}

TEST(Id3v1Tag, FailedReadLeavesTheTagCleared)
{
    struct Case {
        const char *name;
        QByteArray data;
        TMP3Error result;
    };
    const Case cases[] = {
        {"no TAG", kAudio + QByteArray(128, 'x'), ID3ERR_NoTag},
        {"lower case", kAudio + QByteArray("tag") + QByteArray(125, ' '), ID3ERR_NoTag},
        {"short", rawTag('\0', '\x01').left(127), MP3ERR_SRead},
        {"empty", QByteArray(), MP3ERR_SRead},
    };
    for (const Case &c : cases) {
        TID3v1Tag tag;
        QByteArray good = rawTag('\0', '\x05');
        QBuffer first(&good);
        ASSERT_TRUE(first.open(QIODevice::ReadOnly));
        ASSERT_EQ(tag.ReadFromStream(first), MP3ERR_None);

        QByteArray data = c.data;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        EXPECT_EQ(tag.ReadFromStream(buffer), c.result) << c.name;
        EXPECT_FALSE(tag.Exists()) << c.name;
        EXPECT_EQ(tag.Title(), QString()) << c.name;
        EXPECT_EQ(tag.Track(), QStringLiteral("0")) << c.name;
        EXPECT_EQ(tag.Genre(), QStringLiteral("Blues")) << c.name;
    }
}

TEST(Id3v1Tag, TextFields)
{
    TID3v1Tag tag;
    tag.SetTitle(QStringLiteral("  \tMüller – Straße €  "));
    EXPECT_EQ(tag.Title(), QStringLiteral("Müller – Straße €"));
    tag.SetArtist(QString(31, u'x') + u'y');
    EXPECT_EQ(tag.Artist(), QString(30, u'x'));
    tag.SetAlbum(QStringLiteral("Кириллица"));
    EXPECT_EQ(tag.Album(), QStringLiteral("?????????"));
    tag.SetComment(QString());
    EXPECT_EQ(tag.Comment(), QString());
    tag.SetYear("20245");
    EXPECT_EQ(tag.Year(), QByteArray("2024"));
    tag.SetYear("99");
    EXPECT_EQ(tag.Year(), QByteArray("99"));
}

TEST(Id3v1Tag, OtherCodePage)
{
    TID3v1Tag tag;
    TCodePage cp;
    cp.CodePage = 1251;
    tag.SetCharCode(cp);
    tag.SetAutoCorrectCodepage(true);
    tag.SetTitle(QStringLiteral("Кириллица"));
    EXPECT_EQ(tag.Title(), QStringLiteral("Кириллица"));
    tag.SetAutoCorrectCodepage(false);
    EXPECT_EQ(tag.Title(), QStringLiteral("Êèðèëëèöà"));
}

TEST(Id3v1Tag, GenreAndTrackConversions)
{
    struct GenreCase {
        QString written;
        int stored;
        QString read;
    };
    const GenreCase genres[] = {
        {QStringLiteral("rock"), 17, QStringLiteral("Rock")},
        {QStringLiteral("DANCE HALL"), 125, QStringLiteral("Dance Hall")},
        {QStringLiteral("Goa"), 255, QString()},
        {QStringLiteral("Synthpop"), 255, QString()},
        {QStringLiteral("Polka Punk"), 255, QString()},
        {QString(), 255, QString()},
    };
    TID3v1Tag tag;
    for (const GenreCase &c : genres) {
        tag.SetGenre(c.written);
        EXPECT_EQ(tag.GenreNumber(), c.stored) << c.written.toStdString();
        EXPECT_EQ(tag.Genre(), c.read) << c.written.toStdString();
    }

    struct TrackCase {
        QString written;
        QString read;
    };
    const TrackCase tracks[] = {
        {QStringLiteral("7"), QStringLiteral("7")},     {QStringLiteral("300"), QStringLiteral("44")},
        {QStringLiteral("x"), QStringLiteral("0")},     {QStringLiteral("-1"), QStringLiteral("255")},
        {QStringLiteral("3/12"), QStringLiteral("0")},  {QString(), QStringLiteral("0")},
    };
    for (const TrackCase &c : tracks) {
        tag.SetTrack(c.written);
        EXPECT_EQ(tag.Track(), c.read) << c.written.toStdString();
    }
}

TEST(Id3v1Tag, GenreAboveTheListReadsEmpty)
{
    QByteArray data = rawTag('\0', '\0', static_cast<char>(200));
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    TID3v1Tag tag;
    ASSERT_EQ(tag.ReadFromStream(buffer), MP3ERR_None);
    EXPECT_EQ(tag.GenreNumber(), 200);
    EXPECT_EQ(tag.Genre(), QString());
}

TEST(Id3v1Tag, WrittenFormDependsOnTheTrackAlone)
{
    QByteArray data = kAudio + rawTag('\0', '\x09');
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
    TID3v1Tag tag;
    ASSERT_EQ(tag.ReadFromStream(buffer), MP3ERR_None);
    ASSERT_EQ(tag.Version(), 1);

    // Read as 1.1, written with track 0: the stored comment's last two bytes (NUL) stay.
    tag.SetTrack(QStringLiteral("0"));
    ASSERT_EQ(tag.WriteToStream(buffer), MP3ERR_None);
    ASSERT_EQ(data.size(), kAudio.size() + 128);
    EXPECT_EQ(data.mid(kAudio.size() + 97, 30), QByteArray("abcdefghijklmnopqrstuvwxyz12") + QByteArray(2, '\0'));

    tag.SetComment(QString(30, u'c'));
    ASSERT_EQ(tag.WriteToStream(buffer), MP3ERR_None);
    EXPECT_EQ(data.mid(kAudio.size() + 97, 30), QByteArray(30, 'c'));

    tag.SetTrack(QStringLiteral("12"));
    ASSERT_EQ(tag.WriteToStream(buffer), MP3ERR_None);
    EXPECT_EQ(data.mid(kAudio.size() + 97, 30), QByteArray(28, 'c') + QByteArray("\0\x0c", 2));
    ASSERT_EQ(data.size(), kAudio.size() + 128);
    EXPECT_EQ(data.left(kAudio.size()), kAudio);
}

TEST_F(Id3v1Test, FileRoundTripAppendsOnceAndRemoves)
{
    const QString file = writeFile(QStringLiteral("a.mp3"), kAudio);
    TID3v1Tag tag;
    tag.SetTitle(QStringLiteral("Größe €"));
    tag.SetArtist(QStringLiteral("Künstler"));
    tag.SetAlbum(QStringLiteral("Album"));
    tag.SetYear("2024");
    tag.SetComment(QStringLiteral("Kommentar"));
    tag.SetTrack(QStringLiteral("3"));
    tag.SetGenre(QStringLiteral("jazz"));
    ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None);
    ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None);
    ASSERT_EQ(readFile(file).size(), kAudio.size() + 128);

    TID3v1Tag back;
    ASSERT_EQ(back.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(back.Version(), 1);
    EXPECT_EQ(back.Title(), QStringLiteral("Größe €"));
    EXPECT_EQ(back.Artist(), QStringLiteral("Künstler"));
    EXPECT_EQ(back.Album(), QStringLiteral("Album"));
    EXPECT_EQ(back.Year(), QByteArray("2024"));
    EXPECT_EQ(back.Comment(), QStringLiteral("Kommentar"));
    EXPECT_EQ(back.Track(), QStringLiteral("3"));
    EXPECT_EQ(back.Genre(), QStringLiteral("Jazz"));

    ASSERT_EQ(back.RemoveFromFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file), kAudio);
    EXPECT_EQ(back.RemoveFromFile(file), ID3ERR_NoTag);
    EXPECT_EQ(readFile(file), kAudio);
}

TEST_F(Id3v1Test, ShortFilesGetTheTagAppended)
{
    const QString file = writeFile(QStringLiteral("short.mp3"), QByteArray("TAGxyz"));
    TID3v1Tag tag;
    EXPECT_EQ(tag.ReadFromFile(file), MP3ERR_SRead);
    EXPECT_EQ(tag.RemoveFromFile(file), ID3ERR_NoTag);
    ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None);
    const QByteArray written = readFile(file);
    ASSERT_EQ(written.size(), 6 + 128);
    EXPECT_TRUE(written.startsWith("TAGxyzTAG"));
}

TEST_F(Id3v1Test, FileErrors)
{
    const QString missing = path(QStringLiteral("missing.mp3"));
    const QString folder = path(QStringLiteral("folder.mp3"));
    ASSERT_TRUE(QDir().mkdir(folder));
    TID3v1Tag tag;
    EXPECT_EQ(tag.ReadFromFile(missing), MP3ERR_NoFile);
    EXPECT_EQ(tag.WriteToFile(missing), MP3ERR_NoFile);
    EXPECT_EQ(tag.RemoveFromFile(missing), MP3ERR_NoFile);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(tag.ReadFromFile(folder), MP3ERR_FOpenR);
    EXPECT_EQ(tag.WriteToFile(folder), MP3ERR_FOpenRW);
    EXPECT_EQ(tag.RemoveFromFile(folder), MP3ERR_FOpenRW);

    // Opening a FIFO would wait for a writer forever.
    const QString fifo = path(QStringLiteral("fifo.mp3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(tag.ReadFromFile(fifo), MP3ERR_FOpenR);
    EXPECT_EQ(tag.WriteToFile(fifo), MP3ERR_FOpenRW);
}

namespace {

// A stream that fails the way no file does.
class ThrowingDevice : public QIODevice {
protected:
    qint64 readData(char *, qint64) override { throw std::runtime_error("Lesefehler"); }
    qint64 writeData(const char *, qint64) override { throw std::runtime_error("Schreibfehler"); }
    qint64 size() const override { return 1000; }
};

} // namespace

TEST(Id3v1Tag, UnexpectedErrorsGoToTheReporter)
{
    QStringList reports;
    const TErrorReporter previous = SetErrorReporter(
        [&](const QString &title, const QString &text) { reports << title + u'|' + text; });
    ThrowingDevice device;
    ASSERT_TRUE(device.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    TID3v1Tag tag;
    EXPECT_EQ(tag.ReadFromStream(device), ID3ERR_Unclassified);
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.WriteToStream(device), ID3ERR_Unclassified);
    EXPECT_EQ(tag.RemoveFromStream(device), ID3ERR_Unclassified);
    SetErrorReporter(previous);
    EXPECT_EQ(reports, QStringList({QStringLiteral("Error|Lesefehler"), QStringLiteral("Error|Lesefehler"),
                                    QStringLiteral("Error|Lesefehler")}));
}
