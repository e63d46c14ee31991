#include "support/tempdir.h"
#include "tags/errorreporter.h"
#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <unistd.h>
#include <stdexcept>
#include <sys/mount.h>

using namespace v2bytes;

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

TMP3Error readBytes(TID3v2Tag &tag, const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return tag.ReadFromStream(buffer);
}

QByteArray privateContent(int n)
{
    QByteArray data(n, '\0');
    for (int i = 0; i < n; ++i)
        data[i] = char('a' + i % 26);
    return data;
}

// Replaces the tag's frames by one private frame, so the new tag has exactly `newSize` bytes
// (header and frames).
void makeTagOfSize(TID3v2Tag &tag, qint64 newSize)
{
    while (!tag.Frames().empty())
        tag.DeleteFrame(tag.Frames().front().get());
    QByteArray data = privateContent(int(newSize - 10 - 10 - 2));
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    tag.SetPrivateFrame("o", &in);
}

QStringList tempFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("TagTemp.t*")}, QDir::Files | QDir::Hidden);
}

// Records what the library reports instead of printing it.
class ReporterGuard {
public:
    ReporterGuard()
    {
        previous = SetErrorReporter([this](const QString &title, const QString &text) {
            titles << title;
            texts << text;
        });
    }
    ~ReporterGuard() { SetErrorReporter(previous); }
    QStringList titles, texts;

private:
    TErrorReporter previous;
};

// A tmpfs of the given size in `folder`, unmounted again at the end; not ok where mounting is not
// allowed.
class TinyFileSystem {
public:
    TinyFileSystem(const QString &folder, const char *size) : where(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        mounted = mount("tmpfs", where.constData(), "tmpfs", 0, (QByteArray("size=") + size).constData()) == 0;
    }
    ~TinyFileSystem()
    {
        if (mounted)
            umount2(where.constData(), MNT_DETACH);
    }
    bool mounted = false;

private:
    QByteArray where;
};

// A memory stream whose writes fail once, when they reach `failAt`, as a disk error would, or
// raise an error there.
class FailingBuffer : public QBuffer {
public:
    explicit FailingBuffer(qint64 failAt, bool raises = false) : failAt(failAt), raises(raises) {}
    qint64 failAt;
    bool raises;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (failAt >= 0 && pos() <= failAt && pos() + len > failAt) {
            failAt = -1;
            if (raises)
                throw std::runtime_error("Schreibfehler");
            return -1;
        }
        return QBuffer::writeData(data, len);
    }
};

class ID3v2TagFileTest : public TempDirTest {};

} // namespace

TEST(ID3v2TagHelpers, SyncsafeAndIDChars)
{
    EXPECT_EQ(TID3v2Tag::SyncsafeToInt(hex("00000101")), 129);
    EXPECT_EQ(TID3v2Tag::SyncsafeToInt(hex("7f7f7f7f")), (1 << 28) - 1);
    EXPECT_EQ(TID3v2Tag::SyncsafeToInt(hex("00000080")), 128); // high bits are not masked
    EXPECT_EQ(TID3v2Tag::IntToSyncsafe(129), hex("00000101"));
    EXPECT_EQ(TID3v2Tag::IntToSyncsafe((1 << 28) - 1), hex("7f7f7f7f"));
    EXPECT_TRUE(TID3v2Tag::ValidFrameIDChars("TIT2"));
    EXPECT_TRUE(TID3v2Tag::ValidFrameIDChars(""));
    EXPECT_FALSE(TID3v2Tag::ValidFrameIDChars("tit2"));
    EXPECT_FALSE(TID3v2Tag::ValidFrameIDChars("----"));
    EXPECT_FALSE(TID3v2Tag::ValidFrameIDChars(QByteArray("TI\0T", 4)));
}

TEST(ID3v2TagHelpers, PaddingRoundsUpToTheNextBoundary)
{
    struct Case {
        qint64 total, padding;
    };
    for (const Case &c : {Case{0, 2048}, Case{1, 2047}, Case{2047, 1}, Case{2048, 2048}, Case{1000158, 1314}}) {
        EXPECT_EQ(TID3v2Tag::GetPaddingSize(QStringLiteral("song.mp3"), true, c.total), c.padding) << c.total;
        EXPECT_EQ(TID3v2Tag::GetPaddingSize(QStringLiteral("/tmp/song.mp3"), false, c.total), c.padding);
        EXPECT_EQ(TID3v2Tag::GetPaddingSize(QString(), true, c.total), c.padding);
    }
}

TEST(ID3v2TagState, CreatedAndCleared)
{
    TID3v2Tag tag;
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Version().Major, 3);
    EXPECT_EQ(tag.Version().Minor, 0);
    EXPECT_EQ(tag.Size(), 0);
    EXPECT_FALSE(tag.UsePadding());
    EXPECT_TRUE(tag.UseClusteredPadding());
    tag.SetAlwaysWriteUnicode(true);
    tag.SetUseClusteredPadding(false);
    tag.Clear();
    EXPECT_TRUE(tag.UsePadding());
    EXPECT_TRUE(tag.UseClusteredPadding());
    EXPECT_TRUE(tag.AlwaysWriteUnicode());
}

TEST(ID3v2TagRead, HeaderResultsAndFlags)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        TMP3Error result;
        bool exists;
        qint64 size;
        int major;
        bool unsynch, compression, extended, experimental, footer, unknown;
    };
    const QByteArray body = frame(3, "TIT2", hex("0041")) + QByteArray(10, '\0');
    const Case cases[] = {
        {"empty", {}, MP3ERR_SRead, false, 0, 3, false, false, false, false, false, false},
        {"nine bytes", header(3, 0).left(9), MP3ERR_SRead, false, 0, 3, false, false, false, false, false, false},
        {"no ID3", QByteArray("TAG") + QByteArray(20, 'x'), ID3ERR_NoTag, false, 0, 3, false, false, false, false,
         false, false},
        {"version 5", header(5, 0), ID3ERR_Invalid_Header, false, 0, 3, false, false, false, false, false, false},
        {"version 1", header(1, 0), ID3ERR_Invalid_Header, false, 0, 3, false, false, false, false, false, false},
        {"v2.2 compressed", tag(2, {}, 20, 0x40), ID3ERR_Compression, true, 30, 2, false, true, false, false, false,
         false},
        {"v2.2 unknown bit", tag(2, {}, 20, 0x20), MP3ERR_None, true, 30, 2, false, false, false, false, false, true},
        {"v2.3 experimental and unknown", tag(3, body, 0, 0x21), MP3ERR_None, true, 10 + body.size(), 3, false,
         false, false, true, false, true},
        {"v2.4 footer", tag(4, {}, 20, 0x10) + QByteArray(10, '\0'), MP3ERR_None, true, 40, 4, false, false, false,
         false, true, false},
        {"v2.4 unknown bit", tag(4, {}, 20, 0x08), MP3ERR_None, true, 30, 4, false, false, false, false, false,
         true},
        {"v2.3 unsynchronised", tag(3, body, 0, 0x80), MP3ERR_None, true, 10 + body.size(), 3, true, false, false,
         false, false, false},
    };
    for (const Case &c : cases) {
        TID3v2Tag t;
        EXPECT_EQ(readBytes(t, c.bytes), c.result) << c.name;
        EXPECT_EQ(t.Exists(), c.exists) << c.name;
        EXPECT_EQ(t.Size(), c.size) << c.name;
        EXPECT_EQ(t.Version().Major, c.major) << c.name;
        EXPECT_EQ(t.FlgUnsynch(), c.unsynch) << c.name;
        EXPECT_EQ(t.FlgCompression(), c.compression) << c.name;
        EXPECT_EQ(t.FlgExtended(), c.extended) << c.name;
        EXPECT_EQ(t.FlgExperimental(), c.experimental) << c.name;
        EXPECT_EQ(t.FlgFooterPresent(), c.footer) << c.name;
        EXPECT_EQ(t.FlgUnknown(), c.unknown) << c.name;
        if (c.result == ID3ERR_Compression) {
            EXPECT_TRUE(t.Frames().empty()) << c.name;
        }
        // Without a tag the cleared state stands, so a first write pads.
        if (!c.exists) {
            EXPECT_TRUE(t.UsePadding()) << c.name;
        }
    }
}

TEST(ID3v2TagRead, BodyLayouts)
{
    const QByteArray title = frame(3, "TIT2", hex("00416c7068"));
    const QByteArray title4 = frame(4, "TIT2", hex("00416c7068"));
    struct Case {
        const char *name;
        QByteArray bytes;
        qsizetype frames;
        bool usePadding;
        qint64 padding;
    };
    // The extended headers: v2.4 counts its own size field, v2.3 does not.
    const QByteArray ext4 = syncsafe(12) + hex("0000000000000000");
    const QByteArray ext3 = be32(6) + hex("000000000000");
    const Case cases[] = {
        {"padding", tag(3, title, 100), 1, true, 100},
        {"exactly full", tag(3, title), 1, false, 0},
        {"empty body", header(3, 0), 0, false, 0},
        {"v2.4 extended header", header(4, quint32(ext4.size() + title4.size() + 8), 0x40) + ext4 + title4 +
                                     QByteArray(8, '\0'),
         1, true, 8},
        {"v2.3 extended header", header(3, quint32(ext3.size() + title.size() + 8), 0x40) + ext3 + title +
                                     QByteArray(8, '\0'),
         1, true, 8},
        {"footer counts as padding", tag(4, title4, 6, 0x10) + "3DI" + hex("040010") + syncsafe(quint32(title4.size() + 6)),
         1, true, 16},
        {"footer right after the frames", tag(4, title4, 0, 0x10) + "3DI" + hex("040010") + syncsafe(quint32(title4.size())),
         1, true, 10},
        {"zero-length frames", tag(3, frame(3, "TPE1", {}) + frame(3, "TALB", {}) + title, 4), 3, true, 4},
        {"invalid ID ends the frames", tag(3, title + "tit2" + hex("0000000100") + "A", 0), 1, true, 10},
    };
    for (const Case &c : cases) {
        TID3v2Tag t;
        EXPECT_EQ(readBytes(t, c.bytes + audio(50)), MP3ERR_None) << c.name;
        EXPECT_EQ(qsizetype(t.Frames().size()), c.frames) << c.name;
        EXPECT_EQ(t.UsePadding(), c.usePadding) << c.name;
        EXPECT_EQ(t.PaddingSize(), c.padding) << c.name;
        if (c.frames > 0) {
            EXPECT_EQ(t.Title(), QStringLiteral("Alph")) << c.name;
        }
    }
}

TEST(ID3v2TagRead, WholeTagUnsynchronisation)
{
    // After removing the inserted zero the frame holds FF E0; its size counts the bytes without it.
    const QByteArray stored = hex("50524956") + be32(4) + hex("0000") + hex("6f00ff00e0");
    for (int version : {2, 3}) {
        const QByteArray bytes =
            version == 3 ? tag(3, stored, 0, 0x80)
                         : tag(2, hex("505256") + hex("000004") + hex("6f00ff00e0"), 0, 0x80);
        TID3v2Tag t;
        ASSERT_EQ(readBytes(t, bytes), MP3ERR_None) << version;
        QBuffer data;
        data.open(QIODevice::ReadWrite);
        EXPECT_TRUE(t.GetPrivateFrame("o", &data)) << version;
        EXPECT_EQ(data.data().toHex(), QByteArray("ffe0")) << version;
    }
    // v2.4 unsynchronises frame by frame: the tag flag alone changes nothing.
    TID3v2Tag t4;
    ASSERT_EQ(readBytes(t4, tag(4, frame(4, "PRIV", hex("6f00ff00e0")), 0, 0x80)), MP3ERR_None);
    QBuffer data;
    data.open(QIODevice::ReadWrite);
    EXPECT_TRUE(t4.GetPrivateFrame("o", &data));
    EXPECT_EQ(data.data().toHex(), QByteArray("ff00e0"));
}

TEST(ID3v2TagRead, CorruptInput)
{
    ReporterGuard reporter;
    const QByteArray title = frame(3, "TIT2", hex("0041"));
    struct Case {
        const char *name;
        QByteArray bytes;
        TMP3Error result;
        qsizetype frames;
    };
    const Case cases[] = {
        {"size beyond the file", header(3, 100000) + title, MP3ERR_FOpenR, 0},
        {"size with high bits beyond the file", QByteArray("ID3") + hex("030000ffffffff") + title, MP3ERR_FOpenR, 0},
        {"frame past the body", tag(3, title + frame(3, "TPE1", hex("0041"), 0, 0, 50), 0), MP3ERR_SRead, 1},
        {"frame header cut off", tag(3, title + "TPE1" + hex("0000"), 0), MP3ERR_SRead, 1},
        {"huge frame size", tag(3, title + "TPE1" + hex("7fffffff0000") + "x", 0), MP3ERR_SRead, 1},
        {"short ID at the end", tag(3, title + "TP", 0), MP3ERR_SRead, 1},
        {"extended header cut off", header(3, 2, 0x40) + hex("0000"), MP3ERR_SRead, 0},
        {"extended header past the tag", header(3, 8, 0x40) + be32(100000) + hex("00000000"), MP3ERR_None, 0},
        {"v2.4 extended header size below 4", header(4, 14, 0x40) + syncsafe(1) + frame(4, "TIT2", {}), MP3ERR_None,
         1},
        {"group byte missing", tag(3, title + frame(3, "TPE1", {}, 0, 0x20), 0), ID3ERR_Unclassified, 1},
    };
    for (const Case &c : cases) {
        TID3v2Tag t;
        EXPECT_EQ(readBytes(t, c.bytes), c.result) << c.name;
        EXPECT_EQ(qsizetype(t.Frames().size()), c.frames) << c.name;
        if (c.result != MP3ERR_None) {
            EXPECT_FALSE(t.UsePadding()) << c.name;
        }
    }
    EXPECT_EQ(reporter.titles, QStringList{QStringLiteral("Error")});
}

TEST(ID3v2TagRead, RandomBytesAfterTheHeaderNeverCrash)
{
    ReporterGuard reporter;
    QRandomGenerator random(7);
    for (int round = 0; round < 3000; ++round) {
        const int version = 2 + round % 3;
        QByteArray body(int(random.bounded(200)), '\0');
        for (auto &b : body)
            b = char(random.bounded(256));
        // Mostly plausible IDs, so the frame parser sees many sizes and flags.
        if (body.size() > 4 && round % 2 == 0)
            body.replace(0, 4, version == 2 ? "TT2" : "TIT2");
        const quint8 flags = quint8(random.bounded(256));
        const quint32 size = round % 5 == 0 ? quint32(random.bounded(1 << 28)) : quint32(body.size());
        TID3v2Tag t;
        const TMP3Error r = readBytes(t, header(version, size, flags) + body);
        EXPECT_TRUE(r == MP3ERR_None || r == MP3ERR_SRead || r == MP3ERR_FOpenR || r == ID3ERR_Compression ||
                    r == ID3ERR_Unclassified)
            << round;
        for (const auto &f : t.Frames())
            f->GetText();
    }
}

TEST_F(ID3v2TagFileTest, FileOperationsReportMissingAndUnopenableFiles)
{
    TID3v2Tag t;
    EXPECT_EQ(t.ReadFromFile(path("missing.mp3")), MP3ERR_NoFile);
    EXPECT_EQ(t.WriteToFile(path("missing.mp3")), MP3ERR_NoFile);
    EXPECT_EQ(t.RemoveFromFile(path("missing.mp3")), MP3ERR_NoFile);
    EXPECT_FALSE(QFile::exists(path("missing.mp3")));
    QDir(dir.path()).mkdir("folder.mp3");
    EXPECT_EQ(t.ReadFromFile(path("folder.mp3")), MP3ERR_FOpenR);
    EXPECT_EQ(t.WriteToFile(path("folder.mp3")), MP3ERR_FOpenRW);
    EXPECT_EQ(t.RemoveFromFile(path("folder.mp3")), MP3ERR_FOpenRW);
    EXPECT_EQ(t.RemoveFromFile(writeFile("plain.mp3", audio(300))), ID3ERR_NoTag);
    EXPECT_EQ(readFile(path("plain.mp3")), audio(300));
}

TEST_F(ID3v2TagFileTest, InPlaceOrRewriteByTheRoomLeft)
{
    struct Case {
        qint64 oldSize, newSize;
        bool inPlace;
    };
    const Case cases[] = {
        {4096, 2010, true},  {2040, 2010, false},          {2041, 2010, true},
        {600000, 10000, false}, {10000 + 512000, 10000, true}, {10000 + 512001, 10000, false},
    };
    const QByteArray rest = audio(5000) + QByteArray("TAG") + QByteArray(125, 'v');
    for (const Case &c : cases) {
        const std::string name = std::to_string(c.oldSize) + "/" + std::to_string(c.newSize);
        const QByteArray old = tag(3, frame(3, "TIT2", hex("0041")), int(c.oldSize - 10 - 12));
        const QString file = writeFile("inplace.mp3", old + rest);
        TID3v2Tag t;
        {
            QFile in(file);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly));
            ASSERT_EQ(t.ReadFromStream(in), MP3ERR_None) << name;
        }
        ASSERT_TRUE(t.UsePadding());
        makeTagOfSize(t, c.newSize);
        {
            QFile target(file);
            ASSERT_TRUE(target.open(QIODevice::ReadWrite));
            ASSERT_EQ(t.WriteToStream(target), MP3ERR_None) << name;
        }
        const QByteArray now = readFile(file);
        EXPECT_EQ(t.DataSize(), c.newSize) << name;
        EXPECT_EQ(t.Size(), t.DataSize() + t.PaddingSize()) << name;
        if (c.inPlace) {
            EXPECT_EQ(t.Size(), c.oldSize) << name;
            EXPECT_EQ(t.PaddingSize(), c.oldSize - c.newSize) << name;
            EXPECT_EQ(now.size(), old.size() + rest.size()) << name;
        } else {
            // Header, frames, padding up to a 2048 boundary with the ID3v1 tag counted once.
            EXPECT_EQ((t.Size() + rest.size()) % 2048, 0) << name;
            EXPECT_GE(t.PaddingSize(), 1) << name;
        }
        EXPECT_EQ(now.mid(t.Size()), rest) << name;
        EXPECT_EQ(now.mid(t.DataSize(), t.PaddingSize()), QByteArray(int(t.PaddingSize()), '\0')) << name;
        EXPECT_EQ(TID3v2Tag::SyncsafeToInt(now.mid(6, 4)) + 10, t.Size()) << name;
        TID3v2Tag back;
        ASSERT_EQ(readBytes(back, now), MP3ERR_None) << name;
        QBuffer data;
        data.open(QIODevice::ReadWrite);
        EXPECT_TRUE(back.GetPrivateFrame("o", &data)) << name;
        EXPECT_EQ(data.data().size(), c.newSize - 22) << name;
    }
    EXPECT_TRUE(tempFiles(dir.path()).isEmpty());
}

TEST_F(ID3v2TagFileTest, NewTagPaddingAndTheFileWithoutV1)
{
    // 20-byte title frame on a cleared tag, a million audio bytes, no ID3v1 tag: 30 + 1,000,000 +
    // 128 rounded up to 2048 gives 1314 bytes of padding.
    const QByteArray sound = audio(1000000);
    const QString file = writeFile("new.mp3", sound);
    TID3v2Tag t;
    t.Clear();
    t.SetTitle(QStringLiteral("123456789"));
    {
        QFile target(file);
        ASSERT_TRUE(target.open(QIODevice::ReadWrite));
        ASSERT_EQ(t.WriteToStream(target), MP3ERR_None);
    }
    EXPECT_EQ(t.DataSize(), 30);
    EXPECT_EQ(t.PaddingSize(), 1314);
    EXPECT_EQ(t.Size(), 1344);
    const QByteArray now = readFile(file);
    EXPECT_EQ(now.left(10), header(3, 1334));
    EXPECT_EQ(now.mid(1344), sound);
}

TEST_F(ID3v2TagFileTest, ClusterSizeOfTheFileSystem)
{
    TinyFileSystem fs(path("fs"), "4m");
    if (!fs.mounted)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const QByteArray sound = audio(1000000);
    const QString file = path("fs/new.mp3");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(sound);
    }
    TID3v2Tag t;
    t.Clear();
    t.SetTitle(QStringLiteral("123456789"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    // tmpfs has 4096-byte blocks.
    EXPECT_EQ(t.PaddingSize(), 3362);
    EXPECT_EQ(t.Size(), 3392);
    EXPECT_EQ(TID3v2Tag::GetPaddingSize(file, true, 1000158), 3362);
    EXPECT_EQ(TID3v2Tag::GetPaddingSize(file, false, 1000158), 1314);
    EXPECT_EQ(readFile(file).mid(3392), sound);
}

TEST_F(ID3v2TagFileTest, TagObjectNeverReadWritesWithoutPadding)
{
    const QByteArray sound = audio(3000);
    const QString file = writeFile("fresh.mp3", sound);
    TID3v2Tag t;
    t.SetTitle(QStringLiteral("A"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(t.PaddingSize(), 0);
    EXPECT_EQ(t.Size(), 10 + 12);
    EXPECT_EQ(readFile(file), tag(3, frame(3, "TIT2", hex("0041"))) + sound);
    t.SetTitle(QStringLiteral("B"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file), tag(3, frame(3, "TIT2", hex("0042"))) + sound);
}

TEST_F(ID3v2TagFileTest, EmptyTagGetsABlankTitle)
{
    const QString file = writeFile("blank.mp3", audio(100));
    TID3v2Tag t;
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    ASSERT_EQ(t.Frames().size(), 1u);
    EXPECT_EQ(readFile(file), tag(3, frame(3, "TIT2", hex("0020"))) + audio(100));
}

TEST_F(ID3v2TagFileTest, FooterBecomesPaddingInPlace)
{
    const QByteArray title = frame(4, "TIT2", hex("0041"));
    const QByteArray old = tag(4, title, 200, 0x10) + "3DI" + hex("040010") + syncsafe(quint32(title.size() + 200));
    const QString file = writeFile("footer.mp3", old + audio(400));
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(t.Size(), old.size());
    t.SetArtist(QStringLiteral("B"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    const QByteArray now = readFile(file);
    EXPECT_EQ(now.size(), old.size() + 400);
    EXPECT_EQ(now.left(10), header(4, quint32(old.size() - 10)));
    EXPECT_EQ(now.mid(10, 2 * title.size()), title + frame(4, "TPE1", hex("0042")));
    EXPECT_EQ(now.mid(t.DataSize(), t.PaddingSize()), QByteArray(int(t.PaddingSize()), '\0'));
    EXPECT_EQ(t.DataSize() + t.PaddingSize(), old.size());
    EXPECT_EQ(now.mid(old.size()), audio(400));
}

TEST_F(ID3v2TagFileTest, FileOfTagOnly)
{
    const QString file = writeFile("only.mp3", tag(3, frame(3, "TIT2", hex("0041")), 20));
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    makeTagOfSize(t, 5000);
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file).size(), t.Size());
    EXPECT_GT(t.PaddingSize(), 0);
    const qint64 sizeBefore = t.Size();
    ASSERT_EQ(t.RemoveFromFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file).size(), 0);
    EXPECT_EQ(t.Size(), sizeBefore); // the object stays as it was
    EXPECT_EQ(t.Frames().size(), 1u);
}

TEST_F(ID3v2TagFileTest, HeaderClaimingMoreThanTheFileKeepsEveryByte)
{
    // The bytes under such a header may be audio: a write puts the new tag in front of them all,
    // a removal finds no tag to take away.
    const QByteArray original = header(3, 100000) + frame(3, "TIT2", hex("0041")) + audio(5000);
    const QString file = writeFile("liar.mp3", original);
    TID3v2Tag t;
    EXPECT_EQ(t.RemoveFromFile(file), ID3ERR_NoTag);
    EXPECT_EQ(readFile(file), original);
    t.Clear();
    t.SetTitle(QStringLiteral("B"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file).mid(t.Size()), original);
}

TEST_F(ID3v2TagFileTest, RemovalKeepsAudioAndID3v1)
{
    const QByteArray rest = audio(70000) + QByteArray("TAG") + QByteArray(125, 'v');
    const QString file = writeFile("remove.mp3", tag(4, frame(4, "TIT2", hex("0041")), 300, 0x10) +
                                                     QByteArray(10, '\0') + rest);
    TID3v2Tag t;
    ASSERT_EQ(t.RemoveFromFile(file), MP3ERR_None);
    EXPECT_EQ(readFile(file), rest);
    EXPECT_TRUE(t.Frames().empty());
    EXPECT_EQ(t.RemoveFromFile(file), ID3ERR_NoTag);
    EXPECT_EQ(readFile(file), rest);
    EXPECT_TRUE(tempFiles(dir.path()).isEmpty());
}

TEST_F(ID3v2TagFileTest, TemporaryNamesTakeTheFirstFreeCounter)
{
    const QString folder = QDir(dir.path()).absolutePath() + QLatin1Char('/');
    EXPECT_EQ(TID3v2Tag::GetTempTagFileName(), folder + "TagTemp.t00");
    writeFile("TagTemp.t00", "x");
    EXPECT_EQ(TID3v2Tag::GetTempTagFileName(), folder + "TagTemp.t01");
    for (int i = 1; i < 256; ++i)
        writeFile(QStringLiteral("TagTemp.t") + QString::number(i, 16).toUpper().rightJustified(2, QLatin1Char('0')), "x");
    EXPECT_EQ(TID3v2Tag::GetTempTagFileName(), folder + "TagTemp.t100");
    QFile::remove(folder + "TagTemp.t0A");
    EXPECT_EQ(TID3v2Tag::GetTempTagFileName(), folder + "TagTemp.t0A");

    // A write with TagTemp.t00 present leaves it alone and leaves nothing behind.
    for (const QString &name : tempFiles(dir.path()))
        if (name != QLatin1String("TagTemp.t00"))
            QFile::remove(path(name));
    const QString file = writeFile("names.mp3", audio(1000));
    TID3v2Tag t;
    t.SetTitle(QStringLiteral("x"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    EXPECT_EQ(tempFiles(dir.path()), QStringList{QStringLiteral("TagTemp.t00")});
    EXPECT_EQ(readFile(path("TagTemp.t00")), QByteArray("x"));
}

TEST_F(ID3v2TagFileTest, UnsynchronisedWritesReadBack)
{
    QByteArray data = hex("ffe0ff00ff");
    struct Case {
        int version;
        QByteArray storedBody; // frames as they stand in the file
    };
    const Case cases[] = {
        {2, hex("505256") + hex("000007") + hex("6f00ff00e0ff0000ff00")},
        {3, hex("50524956") + be32(7) + hex("0000") + hex("6f00ff00e0ff0000ff00")},
        {4, hex("50524956") + syncsafe(10) + hex("0002") + hex("6f00ff00e0ff0000ff00")},
    };
    for (const Case &c : cases) {
        const QString file = writeFile("unsync.mp3", tag(c.version, {}, 0) + audio(100));
        TID3v2Tag t;
        ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
        t.SetFlgUnsynch(true);
        t.SetUsePadding(false);
        QBuffer in(&data);
        in.open(QIODevice::ReadOnly);
        t.SetPrivateFrame("o", &in);
        ASSERT_EQ(t.WriteToFile(file), MP3ERR_None) << c.version;
        const QByteArray now = readFile(file);
        EXPECT_EQ(quint8(now.at(5)), 0x80) << c.version;
        EXPECT_EQ(now.mid(10, c.storedBody.size()).toHex(), c.storedBody.toHex()) << c.version;
        TID3v2Tag back;
        ASSERT_EQ(back.ReadFromFile(file), MP3ERR_None) << c.version;
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        EXPECT_TRUE(back.GetPrivateFrame("o", &out)) << c.version;
        EXPECT_EQ(out.data().toHex(), data.toHex()) << c.version;
        EXPECT_EQ(now.mid(back.Size()), audio(100)) << c.version;
    }
}

TEST_F(ID3v2TagFileTest, VersionTwoTwoStaysTwoTwo)
{
    const QString file = writeFile("v22.mp3", tag(2, frame(2, "TT2", hex("0041")), 100) + audio(500));
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    t.SetArtist(QStringLiteral("B"));
    t.SetYear(QStringLiteral("1999"));
    ASSERT_EQ(t.WriteToFile(file), MP3ERR_None);
    const QByteArray now = readFile(file);
    EXPECT_EQ(now.left(4), QByteArray("ID3\x02"));
    EXPECT_EQ(now.mid(10, 27), frame(2, "TT2", hex("0041")) + frame(2, "TP1", hex("0042")) +
                                   frame(2, "TYE", hex("0031393939")));
    EXPECT_EQ(now.size(), 118 + 500); // in place
    TID3v2Tag back;
    ASSERT_EQ(back.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(back.Title(), QStringLiteral("A"));
    EXPECT_EQ(back.Artist(), QStringLiteral("B"));
    EXPECT_EQ(back.Year(), QStringLiteral("1999"));
}

// Faults of the file system itself: the user's file must come out of them byte for byte.

TEST_F(ID3v2TagFileTest, FullTargetDiskLeavesTheFileAsItWas)
{
    TinyFileSystem fs(path("small"), "64k");
    if (!fs.mounted)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const QString file = path("small/song.mp3");
    const QByteArray original = tag(3, frame(3, "TIT2", hex("0041")), 50) + audio(40000);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(original), original.size());
    }
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    makeTagOfSize(t, 30000); // does not fit beside the audio
    EXPECT_EQ(t.WriteToFile(file), MP3ERR_SWrite);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(t.Size(), original.size() - 40000); // the object still describes the file
    EXPECT_TRUE(tempFiles(dir.path()).isEmpty());
}

TEST_F(ID3v2TagFileTest, FullTemporaryFolderLeavesTheFileAsItWas)
{
    const QByteArray original = tag(3, frame(3, "TIT2", hex("0041")), 50) + audio(200000);
    const QString file = writeFile("song.mp3", original);
    TinyFileSystem fs(path("tmp"), "64k");
    if (!fs.mounted)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    qputenv("TMPDIR", QFile::encodeName(path("tmp")));
    // A file with a second hard link is changed in place, through the temporary folder.
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(path("link.mp3")).constData()), 0);
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
    makeTagOfSize(t, 3000);
    EXPECT_EQ(t.WriteToFile(file), ID3ERR_Cache);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(t.RemoveFromFile(file), ID3ERR_Cache);
    EXPECT_EQ(readFile(file), original);
    EXPECT_TRUE(tempFiles(path("tmp")).isEmpty());
}

TEST_F(ID3v2TagFileTest, UnwritableOrVanishedTemporaryFolderLeavesTheFileAsItWas)
{
    const QByteArray original = tag(3, frame(3, "TIT2", hex("0041")), 50) + audio(2000);
    const QString file = writeFile("song.mp3", original);
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(path("link.mp3")).constData()), 0);
    for (const char *folder : {"/proc", "/proc/zindara-no-such-folder"}) {
        qputenv("TMPDIR", folder);
        TID3v2Tag t;
        ASSERT_EQ(t.ReadFromFile(file), MP3ERR_None);
        makeTagOfSize(t, 3000);
        EXPECT_EQ(t.WriteToFile(file), MP3ERR_FOpenCrt) << folder;
        EXPECT_EQ(t.RemoveFromFile(file), MP3ERR_FOpenCrt) << folder;
        EXPECT_EQ(readFile(file), original) << folder;
    }
    EXPECT_TRUE(tempFiles(QStringLiteral("/")).isEmpty());
}

TEST_F(ID3v2TagFileTest, WriteErrorHalfwayIsUndone)
{
    const QByteArray original = tag(3, frame(3, "TIT2", hex("0041")), 2000) + audio(300000);
    struct Case {
        const char *name;
        qint64 newSize;   // 1000 fits in place, 40000 needs a rewrite
        qint64 failAt;    // the offset whose write fails
        bool raises;
        TMP3Error result;
    };
    const Case cases[] = {
        {"in place", 1000, 500, false, MP3ERR_SWrite},
        {"rewrite, while growing", 40000, original.size() + 10, false, MP3ERR_SWrite},
        {"rewrite, in the tag", 40000, 20000, false, MP3ERR_SWrite},
        // Putting the cached audio back is reported as such, whatever went wrong.
        {"rewrite, in the audio", 40000, 200000, false, MP3ERR_FOpenR},
        {"rewrite, raised in the audio", 40000, 200000, true, ID3ERR_Unclassified},
    };
    ReporterGuard reporter;
    for (const Case &c : cases) {
        TID3v2Tag t;
        ASSERT_EQ(readBytes(t, original), MP3ERR_None);
        makeTagOfSize(t, c.newSize);
        FailingBuffer target(c.failAt, c.raises);
        target.setData(original);
        ASSERT_TRUE(target.open(QIODevice::ReadWrite));
        EXPECT_EQ(t.WriteToStream(target), c.result) << c.name;
        EXPECT_EQ(target.failAt, -1) << c.name; // the fault did happen
        EXPECT_TRUE(target.data() == original) << c.name;
        EXPECT_TRUE(tempFiles(dir.path()).isEmpty()) << c.name;
    }

    EXPECT_EQ(reporter.titles, QStringList{"Error Error"});
    EXPECT_EQ(reporter.texts.value(0), QStringLiteral("Schreibfehler"));

    for (bool raises : {false, true}) {
        TID3v2Tag t;
        FailingBuffer target(200000, raises); // after the first block has gone in
        target.setData(original);
        ASSERT_TRUE(target.open(QIODevice::ReadWrite));
        EXPECT_EQ(t.RemoveFromStream(target), raises ? ID3ERR_Unclassified : MP3ERR_SWrite);
        EXPECT_TRUE(target.data() == original) << raises;
        EXPECT_TRUE(tempFiles(dir.path()).isEmpty());
    }
    EXPECT_EQ(reporter.titles.value(1), QStringLiteral("Error"));
}

TEST_F(ID3v2TagFileTest, StreamOperationsOnMemoryStreams)
{
    const QByteArray rest = audio(3000);
    QBuffer stream;
    stream.setData(tag(3, frame(3, "TIT2", hex("0041")), 500) + rest);
    ASSERT_TRUE(stream.open(QIODevice::ReadWrite));
    stream.seek(77); // reading starts at 0 whatever the position
    TID3v2Tag t;
    ASSERT_EQ(t.ReadFromStream(stream), MP3ERR_None);
    EXPECT_EQ(t.Title(), QStringLiteral("A"));
    makeTagOfSize(t, 4000);
    ASSERT_EQ(t.WriteToStream(stream), MP3ERR_None);
    EXPECT_EQ((t.Size() + rest.size() + 128) % 2048, 0);
    EXPECT_EQ(stream.data().mid(t.Size()), rest);
    ASSERT_EQ(t.RemoveFromStream(stream), MP3ERR_None);
    EXPECT_EQ(stream.data(), rest);
}
