#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public TempDirTest {
protected:
    CliResult run(const QStringList &args) const
    {
        QProcess process;
        process.start(QStringLiteral(ZINDARA_CLI), args);
        CliResult result;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "zindara-cli did not finish";
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QJsonArray info(const QStringList &files) const
    {
        const CliResult r = run(QStringList{QStringLiteral("info"), QStringLiteral("--json")} + files);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.array();
    }

    QJsonObject infoOf(const QString &file) const { return info({file}).at(0).toObject(); }

    QString audioFile(const QString &name) const
    {
        return writeFile(name, audio());
    }

    static QByteArray audio() { return mpeg::frames(mpeg::FrameSpec{}, 20); }
};

// The first frame with this ID in the file's JSON, empty when there is none.
QJsonObject frameOf(const QJsonObject &file, const QString &id)
{
    for (const QJsonValue &frame : file.value("id3v2").toObject().value("frames").toArray())
        if (frame.toObject().value("id").toString() == id)
            return frame.toObject();
    return {};
}

} // namespace

TEST_F(CliTest, InfoWithoutTags)
{
    const QString file = audioFile(QStringLiteral("plain.mp3"));
    const QJsonObject object = infoOf(file);
    EXPECT_EQ(object.value("file").toString(), file);
    EXPECT_EQ(object.value("size").toInteger(), audio().size());
    EXPECT_TRUE(object.value("id3v1").isNull());
    EXPECT_TRUE(object.value("id3v2").isNull());

    const CliResult text = run({QStringLiteral("info"), file});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("ID3v1-Tag: keins"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("ID3v2-Tag: keins"))) << text.out.toStdString();
}

TEST_F(CliTest, InfoShowsEveryKindOfFrame)
{
    const QString file = audioFile(QStringLiteral("full.mp3"));
    TID3v2Tag tag;
    tag.Clear();
    tag.SetTitle(QStringLiteral("Titel Ж"));
    tag.SetUserText(QStringLiteral("Stimmung"), QStringLiteral("heiter"));
    tag.SetExtendedComment("deu", QStringLiteral("Notiz"), QStringLiteral("Kommentar"));
    tag.SetLyrics("eng", QString(), QStringLiteral("la la"));
    tag.SetURL(IDv2_ARTISTURL, "http://artist.example");
    tag.SetUserDefinedURL(QStringLiteral("Seite"), "http://site.example");
    QByteArray pictureBytes(1234, '\x7f');
    QBuffer picture(&pictureBytes);
    picture.open(QIODevice::ReadOnly);
    tag.SetPicture("image/png", 3, QStringLiteral("Hülle"), &picture);
    tag.SetRatingAndCounter("ich@example.org", 196, 12);
    QByteArray privateBytes("geheim");
    QBuffer privateData(&privateBytes);
    privateData.open(QIODevice::ReadOnly);
    tag.SetPrivateFrame("owner.example", &privateData);
    ASSERT_EQ(tag.WriteToFile(file), MP3ERR_None);

    const QJsonObject v2 = infoOf(file).value("id3v2").toObject();
    EXPECT_EQ(v2.value("version").toString(), QStringLiteral("2.3.0"));
    EXPECT_EQ(v2.value("size").toInteger(), tag.Size());
    EXPECT_EQ(v2.value("padding").toInteger(), tag.PaddingSize());
    EXPECT_FALSE(v2.value("flags").toObject().value("unsynchronisation").toBool());
    const QJsonArray frames = v2.value("frames").toArray();
    ASSERT_EQ(frames.size(), 9);

    struct Expected {
        const char *id;
        const char *type;
        QJsonObject fields;
    };
    const Expected expected[] = {
        {"TIT2", "FT_TextFrame", {{"text", QStringLiteral("Titel Ж")}}},
        {"TXXX", "FT_UserTextFrame", {{"description", "Stimmung"}, {"text", "heiter"}}},
        {"COMM", "FT_CommentFrame", {{"language", "deu"}, {"description", "Notiz"}, {"text", "Kommentar"}}},
        {"USLT", "FT_LyricFrame", {{"language", "eng"}, {"description", ""}, {"text", "la la"}}},
        {"WOAR", "FT_URLFrame", {{"url", "http://artist.example"}}},
        {"WXXX", "FT_UserDefinedURLFrame", {{"description", "Seite"}, {"url", "http://site.example"}}},
        {"APIC", "FT_PictureFrame",
         {{"mime", "image/png"}, {"pictureType", 3}, {"description", QStringLiteral("Hülle")}, {"pictureSize", 1234}}},
        {"POPM", "FT_PopularimeterFrame", {{"email", "ich@example.org"}, {"rating", 196}, {"counter", 12}}},
        {"PRIV", "FT_UNKNOWN", {{"owner", "owner.example"}, {"privateSize", 6}}},
    };
    for (const Expected &e : expected) {
        const QJsonObject frame = frameOf(infoOf(file), QString::fromLatin1(e.id));
        ASSERT_FALSE(frame.isEmpty()) << e.id;
        EXPECT_EQ(frame.value("type").toString(), QString::fromLatin1(e.type)) << e.id;
        EXPECT_TRUE(frame.value("parsable").toBool()) << e.id;
        EXPECT_GT(frame.value("dataSize").toInteger(), 0) << e.id;
        for (auto it = e.fields.begin(); it != e.fields.end(); ++it)
            EXPECT_EQ(frame.value(it.key()), it.value()) << e.id << " " << it.key().toStdString();
    }

    const CliResult text = run({QStringLiteral("info"), file});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("Titel Ж"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Sprache deu, Beschreibung Notiz, Kommentar")))
        << text.out.toStdString();
}

TEST_F(CliTest, InfoSurvivesCorruptFiles)
{
    QByteArray hugeFrame = mpeg::id3v2Tag(3, 100);
    hugeFrame.replace(10, 10, QByteArray("TIT2\x7f\xff\xff\xff\0\0", 10));
    QByteArray badSize = mpeg::id3v2Tag(4, 64);
    badSize.replace(6, 4, QByteArray("\xff\xff\xff\xff", 4));
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("TAG"),
        QByteArray("ID3"),
        mpeg::id3v2Tag(3, 4000).left(200),
        hugeFrame,
        badSize,
        mpeg::junk(5000, 7) + QByteArray("TAG"),
    };
    QStringList files;
    for (const QByteArray &bytes : cases)
        files << writeFile(QStringLiteral("corrupt%1.mp3").arg(files.size()), bytes);
    EXPECT_EQ(info(files).size(), files.size());
    for (const QString &file : std::as_const(files))
        EXPECT_EQ(run({QStringLiteral("info"), file}).exitCode, 0) << file.toStdString();
    EXPECT_TRUE(run({QStringLiteral("info"), files[3]}).out.contains(QStringLiteral("beschädigt")));
}

TEST_F(CliTest, TagWritesBothTagsAndKeepsOtherFrames)
{
    const QString file = audioFile(QStringLiteral("song.mp3"));
    TID3v2Tag before;
    before.Clear();
    before.SetTitle(QStringLiteral("Alt"));
    before.SetUserText(QStringLiteral("Bleibt"), QStringLiteral("ja"));
    ASSERT_EQ(before.WriteToFile(file), MP3ERR_None);

    const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("Neuer Titel"),
                       QStringLiteral("--artist=Künstler"), QStringLiteral("--year"), QStringLiteral(" 85 "),
                       QStringLiteral("--track"), QStringLiteral("300"), QStringLiteral("--genre"),
                       QStringLiteral("rock"), QStringLiteral("--comment"), QStringLiteral("Notiz"), file});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(file + QStringLiteral(": ID3v1- und ID3v2-Tag geschrieben")))
        << r.out.toStdString();

    const QJsonObject object = infoOf(file);
    const QJsonObject v1 = object.value("id3v1").toObject();
    EXPECT_EQ(v1.value("title").toString(), QStringLiteral("Neuer Titel"));
    EXPECT_EQ(v1.value("artist").toString(), QStringLiteral("Künstler"));
    EXPECT_EQ(v1.value("album").toString(), QString());
    EXPECT_EQ(v1.value("year").toString(), QStringLiteral(" 85 "));
    EXPECT_EQ(v1.value("comment").toString(), QStringLiteral("Notiz"));
    EXPECT_EQ(v1.value("track").toString(), QStringLiteral("44"));
    EXPECT_EQ(v1.value("genre").toString(), QStringLiteral("Rock"));
    EXPECT_EQ(v1.value("genreNumber").toInt(), 17);
    EXPECT_EQ(v1.value("version").toInt(), 1);

    EXPECT_EQ(frameOf(object, "TIT2").value("text").toString(), QStringLiteral("Neuer Titel"));
    EXPECT_EQ(frameOf(object, "TPE1").value("text").toString(), QStringLiteral("Künstler"));
    EXPECT_EQ(frameOf(object, "TYER").value("text").toString(), QStringLiteral("0085"));
    EXPECT_EQ(frameOf(object, "TRCK").value("text").toString(), QStringLiteral("300"));
    EXPECT_EQ(frameOf(object, "TCON").value("text").toString(), QStringLiteral("(17)rock"));
    EXPECT_EQ(frameOf(object, "COMM").value("text").toString(), QStringLiteral("Notiz"));
    EXPECT_EQ(frameOf(object, "TXXX").value("text").toString(), QStringLiteral("ja"));

    // The audio is untouched between the two tags.
    TID3v2Tag after;
    ASSERT_EQ(after.ReadFromFile(file), MP3ERR_None);
    const QByteArray bytes = readFile(file);
    EXPECT_EQ(bytes.mid(after.Size(), bytes.size() - after.Size() - 128), audio());
}

TEST_F(CliTest, TagConvertsEachFieldForEitherTag)
{
    struct Case {
        const char *option;
        QString value;
        const char *v1Field;
        QJsonValue v1Value;
        const char *frame;
        QString frameText;
    };
    const Case cases[] = {
        {"--genre", QStringLiteral("Polka Punk"), "genreNumber", 255, "TCON", QStringLiteral("Polka Punk")},
        {"--genre", QStringLiteral("Synthpop"), "genreNumber", 255, "TCON", QStringLiteral("(147)Synthpop")},
        {"--genre", QStringLiteral("dance hall"), "genreNumber", 125, "TCON", QStringLiteral("(125)dance hall")},
        {"--year", QStringLiteral("19851"), "year", QStringLiteral("1985"), "TYER", QString()},
        {"--track", QStringLiteral("x"), "track", QStringLiteral("0"), "TRCK", QStringLiteral("x")},
        {"--track", QStringLiteral("256"), "track", QStringLiteral("0"), "TRCK", QStringLiteral("256")},
        {"--title", QString(31, u'T'), "title", QString(30, u'T'), "TIT2", QString(31, u'T')},
    };
    for (const Case &c : cases) {
        const QString file = audioFile(QStringLiteral("convert.mp3"));
        const CliResult r = run({QStringLiteral("tag"), QString::fromLatin1(c.option), c.value, file});
        ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
        const QJsonObject object = infoOf(file);
        EXPECT_EQ(object.value("id3v1").toObject().value(c.v1Field), c.v1Value) << c.option << " " << c.value.toStdString();
        EXPECT_EQ(frameOf(object, c.frame).value("text").toString(), c.frameText)
            << c.option << " " << c.value.toStdString();
    }
}

TEST_F(CliTest, TagLeavesFieldsThatWereNotGiven)
{
    const QString file = audioFile(QStringLiteral("keep.mp3"));
    ASSERT_EQ(run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("Eins"),
                   QStringLiteral("--album"), QStringLiteral("Platte"), file})
                  .exitCode,
              0);
    ASSERT_EQ(run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("Zwei"), file}).exitCode, 0);
    const QJsonObject object = infoOf(file);
    EXPECT_EQ(object.value("id3v1").toObject().value("title").toString(), QStringLiteral("Zwei"));
    EXPECT_EQ(object.value("id3v1").toObject().value("album").toString(), QStringLiteral("Platte"));
    EXPECT_EQ(frameOf(object, "TALB").value("text").toString(), QStringLiteral("Platte"));

    // An empty value clears the field.
    ASSERT_EQ(run({QStringLiteral("tag"), QStringLiteral("--album="), file}).exitCode, 0);
    EXPECT_TRUE(frameOf(infoOf(file), "TALB").isEmpty());
}

TEST_F(CliTest, TagGoesOnWithTheOtherFilesAfterAFailure)
{
    const QString good = audioFile(QStringLiteral("good.mp3"));
    const QString missing = path(QStringLiteral("missing.mp3"));
    const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("T"), missing, good});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(missing + QStringLiteral(": Die Datei gibt es nicht."))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(good + QStringLiteral(": ID3v1- und ID3v2-Tag geschrieben"))) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(infoOf(good).value("id3v1").toObject().value("title").toString(), QStringLiteral("T"));

    const CliResult i = run({QStringLiteral("info"), QStringLiteral("--json"), missing, good});
    EXPECT_EQ(i.exitCode, 1);
    EXPECT_EQ(QJsonDocument::fromJson(i.out.toUtf8()).array().size(), 1);
}

TEST_F(CliTest, TagRefusesToOverwriteADamagedTag)
{
    // The header promises more bytes than the file holds.
    const QByteArray damaged = mpeg::id3v2Tag(3, 4000).left(200);
    const QString file = writeFile(QStringLiteral("damaged.mp3"), damaged);
    const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("T"), file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("beschädigt"))) << r.out.toStdString();
    EXPECT_EQ(readFile(file), damaged);
}

TEST_F(CliTest, RemoveTags)
{
    struct Case {
        const char *which;
        bool v1Left, v2Left;
    };
    const Case cases[] = {{"v1", false, true}, {"v2", true, false}, {"both", false, false}};
    for (const Case &c : cases) {
        const QString file = audioFile(QStringLiteral("remove-%1.mp3").arg(QLatin1String(c.which)));
        ASSERT_EQ(run({QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("T"), file}).exitCode, 0);
        const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--remove"), QLatin1String(c.which), file});
        EXPECT_EQ(r.exitCode, 0) << c.which << r.out.toStdString();
        EXPECT_TRUE(r.out.startsWith(file + QStringLiteral(": "))) << r.out.toStdString();
        const QJsonObject object = infoOf(file);
        EXPECT_EQ(object.value("id3v1").isNull(), !c.v1Left) << c.which;
        EXPECT_EQ(object.value("id3v2").isNull(), !c.v2Left) << c.which;
        if (!c.v1Left && !c.v2Left) {
            EXPECT_EQ(readFile(file), audio()) << c.which;
        }
    }

    // Removing what is not there is no failure.
    const QString plain = audioFile(QStringLiteral("plain.mp3"));
    const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--remove"), QStringLiteral("both"), plain});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("kein ID3v1-Tag vorhanden"))) << r.out.toStdString();
    EXPECT_EQ(readFile(plain), audio());
}

TEST_F(CliTest, BadArguments)
{
    const QString file = audioFile(QStringLiteral("a.mp3"));
    const QStringList cases[] = {
        {QStringLiteral("tag"), file},
        {QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("T")},
        {QStringLiteral("tag"), QStringLiteral("--titel"), QStringLiteral("T"), file},
        {QStringLiteral("tag"), file, QStringLiteral("--title")},
        {QStringLiteral("tag"), QStringLiteral("--title=A"), QStringLiteral("--title=B"), file},
        {QStringLiteral("tag"), QStringLiteral("--remove"), QStringLiteral("v3"), file},
        {QStringLiteral("tag"), QStringLiteral("--remove"), QStringLiteral("v1"), QStringLiteral("--title=T"), file},
        {QStringLiteral("info")},
        {QStringLiteral("info"), QStringLiteral("--xml"), file},
    };
    for (const QStringList &args : cases) {
        const CliResult r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("zindara-cli: "))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(readFile(file), audio());
}

TEST_F(CliTest, TagRefusesAYearThatIsNoNumber)
{
    const QString file = audioFile(QStringLiteral("year.mp3"));
    ASSERT_EQ(run({QStringLiteral("tag"), QStringLiteral("--year"), QStringLiteral("2023"), file}).exitCode, 0);
    const QByteArray before = readFile(file);
    for (const char *year : {"2024-05-06", "-5", "zwei"}) {
        const CliResult r = run({QStringLiteral("tag"), QStringLiteral("--year"), QString::fromLatin1(year), file});
        EXPECT_EQ(r.exitCode, 2) << year;
        EXPECT_TRUE(r.err.contains(QStringLiteral("Das Jahr \"%1\" ist keine ganze Zahl.").arg(QLatin1String(year))))
            << r.err.toStdString();
    }
    EXPECT_EQ(readFile(file), before);
}
