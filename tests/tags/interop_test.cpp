#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3tagwrite.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2bytes.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Tags written here are read by mutagen, and tags mutagen writes are read here.
namespace {

// Debian's own interpreter first: a python3 earlier on PATH may lack the system's packages.
QString findOracle()
{
    QStringList candidates{QStringLiteral("/usr/bin/python3")};
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!onPath.isEmpty())
        candidates << onPath;
    for (const QString &python : candidates) {
        if (!QFile::exists(python))
            continue;
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import mutagen.id3")});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

const QByteArray kPicture = QByteArray::fromHex("89504e470d0a1a0aff00ffe0fffb0000ff");
const QByteArray kPrivate = QByteArray::fromHex("00ff00fe01");

class InteropTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        python = findOracle();
        if (python.isEmpty())
            GTEST_SKIP() << "python3-mutagen is not installed";
    }

    QString oracle(const QStringList &args) const
    {
        QProcess process;
        process.start(python, QStringList{QStringLiteral(ZINDARA_INTEROP_SCRIPT)} + args);
        const bool finished = process.waitForFinished(60000);
        EXPECT_TRUE(finished);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QJsonObject dump(const QString &file) const
    {
        return QJsonDocument::fromJson(oracle({QStringLiteral("dump"), file}).toUtf8()).object();
    }

    static QByteArray audio() { return mpeg::frames(mpeg::FrameSpec{}, 30); }

    QString python;
};

QJsonObject frameOf(const QJsonObject &dumped, const QString &id)
{
    for (const QJsonValue &frame : dumped.value("v2").toObject().value("frames").toArray())
        if (frame.toObject().value("id").toString() == id)
            return frame.toObject();
    return {};
}

void fillTag(TID3v2Tag &tag)
{
    tag.SetTitle(QStringLiteral("Größe"));
    tag.SetArtist(QStringLiteral("Жанна Ä"));
    tag.SetAlbum(QStringLiteral("Platte"));
    tag.SetYear(QStringLiteral("2024"));
    tag.SetTrack(QStringLiteral("3/12"));
    tag.SetGenre(QStringLiteral("rock"));
    tag.SetExtendedComment("deu", QStringLiteral("Notiz"), QStringLiteral("Kommentar ä"));
    tag.SetExtendedComment("eng", QString(), QStringLiteral("Ωmega"));
    tag.SetUserText(QStringLiteral("Stimmung"), QStringLiteral("heiter"));
    tag.SetUserDefinedURL(QStringLiteral("Seite"), "http://example.org/a");
    QByteArray picture = kPicture;
    QBuffer pictureStream(&picture);
    pictureStream.open(QIODevice::ReadOnly);
    tag.SetPicture("image/png", 3, QStringLiteral("Hülle"), &pictureStream);
    tag.SetRatingAndCounter("ich@example.org", 196, 7);
    QByteArray data = kPrivate;
    QBuffer dataStream(&data);
    dataStream.open(QIODevice::ReadOnly);
    tag.SetPrivateFrame("owner.example", &dataStream);
}

} // namespace

TEST_F(InteropTest, OurTagsAreReadByMutagen)
{
    struct Case {
        int version;
        bool unsynch;
    };
    const Case cases[] = {{3, false}, {3, true}, {4, false}, {4, true}};
    for (const Case &c : cases) {
        const std::string name = "v2." + std::to_string(c.version) + (c.unsynch ? " unsynchronised" : "");
        const QString file = path(QStringLiteral("ours%1%2.mp3").arg(c.version).arg(c.unsynch));
        // Only a tag read from a file keeps a version other than 2.3.
        writeFile(file, (c.version == 4 ? mpeg::id3v2Tag(4, 64) : QByteArray()) + audio());
        TID3v2Tag tag;
        if (c.version == 4)
            ASSERT_EQ(tag.ReadFromFile(file), MP3ERR_None);
        else
            tag.Clear();
        tag.SetFlgUnsynch(c.unsynch);
        fillTag(tag);
        ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None) << name;

        TID3v1Tag v1;
        v1.SetTitle(QStringLiteral("Größe"));
        v1.SetArtist(QStringLiteral("Künstler"));
        v1.SetYear("2024");
        v1.SetComment(QStringLiteral("Kommentar"));
        v1.SetTrack(QStringLiteral("3"));
        v1.SetGenre(QStringLiteral("Jazz"));
        ASSERT_EQ(v1.WriteToFile(file), MP3ERR_None) << name;

        const QJsonObject dumped = dump(file);
        const QJsonObject v2 = dumped.value("v2").toObject();
        ASSERT_FALSE(v2.isEmpty()) << name;
        EXPECT_EQ(v2.value("version").toArray(), (QJsonArray{2, c.version, 0})) << name;
        EXPECT_EQ(v2.value("size").toInteger(), tag.Size()) << name;

        struct Text {
            const char *id;
            QString text;
            int encoding;
        };
        const Text texts[] = {
            {"TIT2", QStringLiteral("Größe"), 0},
            {"TPE1", QStringLiteral("Жанна Ä"), 1},
            {"TALB", QStringLiteral("Platte"), 0},
            {c.version == 4 ? "TDRC" : "TYER", QStringLiteral("2024"), 0},
            {"TRCK", QStringLiteral("3/12"), 0},
            {"TCON", QStringLiteral("(17)rock"), 0},
        };
        for (const Text &t : texts) {
            const QJsonObject frame = frameOf(dumped, QLatin1String(t.id));
            EXPECT_EQ(frame.value("text").toArray(), QJsonArray{t.text}) << name << " " << t.id;
            EXPECT_EQ(frame.value("encoding").toInt(), t.encoding) << name << " " << t.id;
        }

        QJsonArray comments;
        for (const QJsonValue &frame : v2.value("frames").toArray())
            if (frame.toObject().value("id") == QStringLiteral("COMM"))
                comments.append(frame);
        ASSERT_EQ(comments.size(), 2) << name;
        QJsonObject deu = comments.at(0).toObject(), eng = comments.at(1).toObject();
        if (deu.value("lang") != QStringLiteral("deu"))
            std::swap(deu, eng);
        EXPECT_EQ(deu.value("lang").toString(), QStringLiteral("deu")) << name;
        EXPECT_EQ(deu.value("desc").toString(), QStringLiteral("Notiz")) << name;
        EXPECT_EQ(deu.value("text").toArray(), QJsonArray{QStringLiteral("Kommentar ä")}) << name;
        EXPECT_EQ(eng.value("lang").toString(), QStringLiteral("eng")) << name;
        EXPECT_EQ(eng.value("desc").toString(), QString()) << name;
        EXPECT_EQ(eng.value("text").toArray(), QJsonArray{QStringLiteral("Ωmega")}) << name;

        const QJsonObject txxx = frameOf(dumped, "TXXX");
        EXPECT_EQ(txxx.value("desc").toString(), QStringLiteral("Stimmung")) << name;
        EXPECT_EQ(txxx.value("text").toArray(), QJsonArray{QStringLiteral("heiter")}) << name;
        const QJsonObject wxxx = frameOf(dumped, "WXXX");
        EXPECT_EQ(wxxx.value("desc").toString(), QStringLiteral("Seite")) << name;
        EXPECT_EQ(wxxx.value("url").toString(), QStringLiteral("http://example.org/a")) << name;
        const QJsonObject apic = frameOf(dumped, "APIC");
        EXPECT_EQ(apic.value("mime").toString(), QStringLiteral("image/png")) << name;
        EXPECT_EQ(apic.value("type").toInt(), 3) << name;
        EXPECT_EQ(apic.value("desc").toString(), QStringLiteral("Hülle")) << name;
        EXPECT_EQ(apic.value("data").toString(), QString::fromLatin1(kPicture.toHex())) << name;
        const QJsonObject popm = frameOf(dumped, "POPM");
        EXPECT_EQ(popm.value("email").toString(), QStringLiteral("ich@example.org")) << name;
        EXPECT_EQ(popm.value("rating").toInt(), 196) << name;
        EXPECT_EQ(popm.value("count").toInt(), 7) << name;
        const QJsonObject priv = frameOf(dumped, "PRIV");
        EXPECT_EQ(priv.value("owner").toString(), QStringLiteral("owner.example")) << name;
        EXPECT_EQ(priv.value("data").toString(), QString::fromLatin1(kPrivate.toHex())) << name;

        const QJsonObject id3v1 = dumped.value("v1").toObject();
        EXPECT_EQ(id3v1.value("TIT2").toString(), QStringLiteral("Größe")) << name;
        EXPECT_EQ(id3v1.value("TPE1").toString(), QStringLiteral("Künstler")) << name;
        EXPECT_EQ(id3v1.value("TDRC").toString(), QStringLiteral("2024")) << name;
        EXPECT_EQ(id3v1.value("COMM").toString(), QStringLiteral("Kommentar")) << name;
        EXPECT_EQ(id3v1.value("TRCK").toString(), QStringLiteral("3")) << name;
        EXPECT_EQ(id3v1.value("TCON").toString(), QStringLiteral("Jazz")) << name;

        // The audio is found where the tag says it starts.
        EXPECT_EQ(dumped.value("mpeg").toObject().value("bitrate").toInt(), 128000) << name;
        EXPECT_EQ(dumped.value("mpeg").toObject().value("sample_rate").toInt(), 44100) << name;
    }
}

TEST_F(InteropTest, MutagenTagsAreReadByUs)
{
    struct Case {
        int version;
        int encoding; // 0 Latin-1, 1 UTF-16, 2 UTF-16BE, 3 UTF-8
    };
    const Case cases[] = {{3, 0}, {3, 1}, {4, 0}, {4, 1}, {4, 2}, {4, 3}};
    for (const Case &c : cases) {
        const std::string name = "v2." + std::to_string(c.version) + " encoding " + std::to_string(c.encoding);
        const QString file = writeFile(QStringLiteral("theirs%1%2.mp3").arg(c.version).arg(c.encoding), audio());
        const QString title = c.encoding == 0 ? QStringLiteral("Größe") : QStringLiteral("Größe Ж");
        const QString comment = c.encoding == 0 ? QStringLiteral("Kommentar ä") : QStringLiteral("Ωmega");
        const QJsonArray frames{
            QJsonObject{{"id", "TIT2"}, {"encoding", c.encoding}, {"text", title}},
            QJsonObject{{"id", "TPE1"}, {"encoding", c.encoding}, {"text", "Künstler"}},
            QJsonObject{{"id", "TALB"}, {"encoding", c.encoding}, {"text", "Platte"}},
            QJsonObject{{"id", "TDRC"}, {"encoding", c.encoding}, {"text", "2024"}},
            QJsonObject{{"id", "TRCK"}, {"encoding", c.encoding}, {"text", "5"}},
            QJsonObject{{"id", "TCON"}, {"encoding", c.encoding}, {"text", "Jazz"}},
            QJsonObject{{"id", "COMM"}, {"encoding", c.encoding}, {"lang", "deu"}, {"desc", "Notiz"}, {"text", comment}},
            QJsonObject{{"id", "COMM"}, {"encoding", c.encoding}, {"lang", "fra"}, {"desc", ""}, {"text", "Bonjour"}},
            QJsonObject{{"id", "TXXX"}, {"encoding", c.encoding}, {"desc", "Stimmung"}, {"text", "heiter"}},
            QJsonObject{{"id", "WXXX"}, {"encoding", c.encoding}, {"desc", "Seite"}, {"url", "http://example.org/a"}},
            QJsonObject{{"id", "APIC"}, {"encoding", c.encoding}, {"mime", "image/png"}, {"type", 3},
                        {"desc", "Hülle"}, {"data", QString::fromLatin1(kPicture.toHex())}},
            QJsonObject{{"id", "POPM"}, {"email", "ich@example.org"}, {"rating", 64}, {"count", 9}},
            QJsonObject{{"id", "PRIV"}, {"owner", "owner.example"}, {"data", QString::fromLatin1(kPrivate.toHex())}},
        };
        const QJsonObject spec{{"version", c.version}, {"v1", true}, {"padding", 500}, {"frames", frames}};
        oracle({QStringLiteral("write"), file, QString::fromUtf8(QJsonDocument(spec).toJson(QJsonDocument::Compact))});

        TID3v2Tag tag;
        ASSERT_EQ(tag.ReadFromFile(file), MP3ERR_None) << name;
        EXPECT_EQ(tag.Version().Major, c.version) << name;
        EXPECT_EQ(tag.PaddingSize(), 500) << name;
        EXPECT_EQ(tag.Title(), title) << name;
        EXPECT_EQ(tag.Artist(), QStringLiteral("Künstler")) << name;
        EXPECT_EQ(tag.Album(), QStringLiteral("Platte")) << name;
        EXPECT_EQ(tag.Year(), QStringLiteral("2024")) << name;
        EXPECT_EQ(tag.Track(), QStringLiteral("5")) << name;
        EXPECT_EQ(tag.Genre(), QStringLiteral("Jazz")) << name;
        EXPECT_EQ(tag.GetExtendedComment("deu", QStringLiteral("Notiz")), comment) << name;
        EXPECT_EQ(tag.Comment(), QStringLiteral("Bonjour")) << name;
        EXPECT_EQ(tag.GetUserText(QStringLiteral("stimmung")), QStringLiteral("heiter")) << name;
        EXPECT_EQ(tag.GetUserDefinedURL(QStringLiteral("Seite")), QByteArray("http://example.org/a")) << name;
        QBuffer picture;
        picture.open(QIODevice::ReadWrite);
        EXPECT_EQ(tag.GetPicture(&picture, QStringLiteral("Hülle")), QByteArray("image/png")) << name;
        EXPECT_EQ(picture.data(), kPicture) << name;
        EXPECT_EQ(tag.GetRating("ich@example.org"), 64) << name;
        EXPECT_EQ(tag.GetPersonalPlayCounter("ich@example.org"), 9u) << name;
        QBuffer data;
        data.open(QIODevice::ReadWrite);
        EXPECT_TRUE(tag.GetPrivateFrame("owner.example", &data)) << name;
        EXPECT_EQ(data.data(), kPrivate) << name;

        TID3v1Tag v1;
        ASSERT_EQ(v1.ReadFromFile(file), MP3ERR_None) << name;
        // mutagen puts "?" for what Latin-1 lacks.
        EXPECT_EQ(v1.Title(), c.encoding == 0 ? title : QStringLiteral("Größe ?")) << name;
        EXPECT_EQ(v1.Artist(), QStringLiteral("Künstler")) << name;
        EXPECT_EQ(v1.Album(), QStringLiteral("Platte")) << name;
        EXPECT_EQ(v1.Year(), QByteArray("2024")) << name;
        EXPECT_EQ(v1.Track(), QStringLiteral("5")) << name;
        EXPECT_EQ(v1.Genre(), QStringLiteral("Jazz")) << name;

        // Rewriting in place keeps the audio where mutagen finds it.
        tag.SetTitle(QStringLiteral("Neu"));
        ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None) << name;
        const QJsonObject dumped = dump(file);
        EXPECT_EQ(frameOf(dumped, "TIT2").value("text").toArray(), QJsonArray{QStringLiteral("Neu")}) << name;
        EXPECT_EQ(dumped.value("mpeg").toObject().value("bitrate").toInt(), 128000) << name;
    }
}

TEST_F(InteropTest, V24TagsWithPlainFrameSizesKeepEveryFrame)
{
    // Frame sizes as plain 32-bit numbers, as some players wrote them.
    QByteArray commentText;
    for (int i = 0; commentText.size() < 300; ++i)
        commentText += "ein langer kommentar " + QByteArray::number(i) + ' ';
    commentText.truncate(300);
    const auto plain = [](const QByteArray &id, const QByteArray &body) {
        return id + v2bytes::be32(quint32(body.size())) + QByteArray(2, '\0') + body;
    };
    const QByteArray frames = plain("COMM", QByteArray("\0deu\0", 5) + commentText) +
                              plain("TPE1", QByteArray("\0K\xfcnstler", 10)) + plain("TALB", QByteArray("\0Platte", 7));
    const QString file = writeFile(QStringLiteral("plain.mp3"), v2bytes::tag(4, frames, 200) + audio());

    const auto check = [&](const QJsonObject &dumped, const QString &title, const char *when) {
        const QJsonObject comm = frameOf(dumped, "COMM");
        EXPECT_EQ(comm.value("text").toArray(), QJsonArray{QString::fromLatin1(commentText)}) << when;
        EXPECT_EQ(frameOf(dumped, "TPE1").value("text").toArray(), QJsonArray{QStringLiteral("Künstler")}) << when;
        EXPECT_EQ(frameOf(dumped, "TALB").value("text").toArray(), QJsonArray{QStringLiteral("Platte")}) << when;
        EXPECT_EQ(frameOf(dumped, "TIT2").value("text").toArray(),
                  title.isEmpty() ? QJsonArray() : QJsonArray{title})
            << when;
        EXPECT_EQ(dumped.value("mpeg").toObject().value("bitrate").toInt(), 128000) << when;
    };
    check(dump(file), QString(), "before");

    TID3v2Tag tag;
    ASSERT_EQ(tag.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ(tag.GetExtendedComment("deu", QString()), QString::fromLatin1(commentText));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Künstler"));
    EXPECT_EQ(tag.Album(), QStringLiteral("Platte"));

    TId3Felder fields;
    fields[Id3Titel] = QStringLiteral("neu");
    ASSERT_TRUE(Id3TagsInDateiSchreiben(file, fields).Fehlerfrei());
    check(dump(file), QStringLiteral("neu"), "after");
}

TEST_F(InteropTest, GenresReadAsMutagenShowsThem)
{
    const QJsonArray values[] = {{"17"}, {"17", "Pop"}, {"(17)Rock"}, {"Polka Punk"}};
    for (const QJsonArray &text : values) {
        const QString file = writeFile(QStringLiteral("genre.mp3"), audio());
        const QJsonArray frames{QJsonObject{{"id", "TCON"}, {"encoding", 3}, {"text", text}}};
        const QJsonObject spec{{"version", 4}, {"padding", 100}, {"frames", frames}};
        oracle({QStringLiteral("write"), file, QString::fromUtf8(QJsonDocument(spec).toJson(QJsonDocument::Compact))});
        QStringList genres;
        for (const QJsonValue &g : frameOf(dump(file), "TCON").value("genres").toArray())
            genres << g.toString();
        ASSERT_FALSE(genres.isEmpty());
        TID3v2Tag tag;
        ASSERT_EQ(tag.ReadFromFile(file), MP3ERR_None);
        EXPECT_EQ(tag.Genre(), genres.join(QStringLiteral(" / "))) << genres.join(u',').toStdString();
    }
}
