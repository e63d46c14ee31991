// A user's file comes out of every tag operation whole: replaced at once, never written over
// by a header that lies, no broken tag left on a full disk, memory bounded by the tag.
#include "support/tempdir.h"
#include "tags/id3tagwrite.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace v2bytes;

namespace {

class TagSafetyTest : public TempDirTest {
protected:
    struct stat statOf(const QString &name) const
    {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0) << name.toStdString();
        return st;
    }
    // Every entry of the test's folder, hidden ones too.
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

QByteArray titleTag(int padding)
{
    return tag(3, frame(3, "TIT2", QByteArray("\0Alt", 4)), padding);
}

void growTitle(TID3v2Tag &t)
{
    t.SetTitle(QString(5000, u'x'));
}

// Reads the file in a process whose address space may grow by 160 MB at most: without the
// limits of the reader the frames alone would take far more. 0 when the tag came out damaged.
int readUnderMemoryLimit(const QString &file)
{
    // The address sanitizer reserves more address space than any limit allows.
#if !defined(__SANITIZE_ADDRESS__)
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    qint64 vmSize = 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            vmSize = line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    rlimit limit{rlim_t(vmSize + (160 << 20)), rlim_t(vmSize + (160 << 20))};
    setrlimit(RLIMIT_AS, &limit);
#endif
    TID3v2Tag t;
    const TMP3Error read = t.ReadFromFile(file);
    TId3Felder fields;
    fields[Id3Titel] = QStringLiteral("Neu");
    const TId3Schreibergebnis written = Id3TagsInDateiSchreiben(file, fields);
    return read == MP3ERR_SRead && !t.ReadWhole() && !written.Geschrieben() ? 0 : 1;
}

} // namespace

TEST_F(TagSafetyTest, ARewriteReplacesTheFileAndKeepsItsPermissionsAndOwner)
{
    const QString file = writeFile(QStringLiteral("song.mp3"), titleTag(20) + audio(50000));
    const QString link = path(QStringLiteral("link.mp3"));
    ASSERT_EQ(::symlink(QFile::encodeName(file).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 4321, 4322), 0);
    }
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0), 0);
    const struct stat before = statOf(file);
    ino_t inode = before.st_ino;

    for (bool remove : {false, true}) {
        TID3v2Tag t;
        ASSERT_EQ(t.ReadFromFile(link), MP3ERR_None);
        growTitle(t);
        ASSERT_EQ(remove ? t.RemoveFromFile(link) : t.WriteToFile(link), MP3ERR_None) << remove;
        const struct stat after = statOf(file);
        EXPECT_NE(after.st_ino, inode) << remove; // a new file took the old one's place
        inode = after.st_ino;
        EXPECT_EQ(after.st_mode, before.st_mode) << remove;
        if (root) {
            EXPECT_EQ(after.st_uid, 4321u);
            EXPECT_EQ(after.st_gid, 4322u);
        }
        EXPECT_GT(after.st_mtim.tv_sec, 1000000000) << remove;
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << remove;
        EXPECT_EQ(entries(), (QStringList{QStringLiteral("link.mp3"), QStringLiteral("song.mp3")})) << remove;
    }
    EXPECT_EQ(readFile(file), audio(50000));
}

TEST_F(TagSafetyTest, AFileWithSeveralHardLinksIsChangedInPlace)
{
    const QString file = writeFile(QStringLiteral("song.mp3"), titleTag(20) + audio(50000));
    const QString second = path(QStringLiteral("second.mp3"));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(second).constData()), 0);
    const ino_t inode = statOf(file).st_ino;
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    growTitle(t);
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(readFile(second), readFile(file));
    TID3v2Tag back;
    ASSERT_EQ(back.ReadFromFile(second), MP3ERR_None);
    EXPECT_EQ(back.Title(), QString(5000, u'x'));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("second.mp3"), QStringLiteral("song.mp3")}));
}

TEST_F(TagSafetyTest, LeftoversOfAKilledReplacementAreRemovedNextTime)
{
    const QString file = writeFile(QStringLiteral("song.mp3"), titleTag(20) + audio(5000));
    // No process has the id 0x7FFFFFFE; one of ours that still runs keeps its file.
    writeFile(QStringLiteral(".song.mp3.zindara-2147483646-0.tmp"), QByteArray(1000, 'x'));
    const QString running = QStringLiteral(".song.mp3.zindara-%1-7.tmp").arg(::getpid());
    writeFile(running, "x");
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    growTitle(t);
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(entries(), (QStringList{running, QStringLiteral("song.mp3")}));
}

TEST_F(TagSafetyTest, AHeaderThatLiesIsNeverWrittenOverTheAudio)
{
    const QByteArray honest = titleTag(100) + audio(40000);
    struct Case {
        const char *name;
        int byte;
        quint8 value;
    };
    const Case cases[] = {
        {"size byte with its top bit set", 8, 0x81},
        {"size that runs into the audio", 9, 0x7F},
    };
    for (const Case &c : cases) {
        QByteArray lying = honest;
        lying[c.byte] = char(c.value);
        const QString file = writeFile(QStringLiteral("lie.mp3"), lying);
        TID3v2Tag t;
        t.ReadFromFile(file);
        EXPECT_FALSE(t.ReadWhole()) << c.name;
        t.SetTitle(QStringLiteral("Neu"));
        EXPECT_EQ(t.WriteToFile(file), ID3ERR_Invalid_Header) << c.name;
        EXPECT_EQ(t.RemoveFromFile(file), ID3ERR_Invalid_Header) << c.name;
        TId3Felder fields;
        fields[Id3Titel] = QStringLiteral("Neu");
        EXPECT_EQ(Id3TagsInDateiSchreiben(file, fields).Lesen, ID3ERR_Invalid_Header) << c.name;
        EXPECT_EQ(readFile(file), lying) << c.name;
    }
}

TEST_F(TagSafetyTest, AnID3v1TagThatDoesNotFitIsCutOffAgain)
{
    const QByteArray original = audio(3000);
    const QString file = writeFile(QStringLiteral("full.mp3"), original);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = rlim_t(original.size() + 50); // the disk is full after 50 more bytes
    setrlimit(RLIMIT_FSIZE, &limit);
    TID3v1Tag v1;
    v1.SetTitle(QStringLiteral("Titel"));
    const TMP3Error result = v1.WriteToFile(file);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, MP3ERR_SWrite);
    EXPECT_EQ(readFile(file), original);
}

TEST_F(TagSafetyTest, AMillionTinyFramesStayWithinBoundedMemory)
{
    const QByteArray tiny = frame(3, "TXXX", QByteArray(1, '\0'));
    QByteArray frames;
    frames.reserve(tiny.size() * 1000000);
    for (int i = 0; i < 1000000; ++i)
        frames += tiny;
    const QByteArray bytes = tag(3, frames, 100) + audio(1000);
    frames.clear();
    const QString file = writeFile(QStringLiteral("many.mp3"), bytes);

    EXPECT_EXIT(std::exit(readUnderMemoryLimit(file)), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(file), bytes);
}
