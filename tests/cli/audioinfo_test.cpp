#include "audio/mp3file.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class CliAudioInfo : public TempDirTest {
protected:
    QString run(const QStringList &args) const
    {
        QProcess process;
        process.start(QStringLiteral(ZINDARA_CLI), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // A file of 200 mono MPEG-2 frames behind 300 junk bytes, tagged through the audio file object.
    QString taggedFile() const
    {
        mpeg::FrameSpec s;
        s.version = mpeg::Version::Mpeg2;
        s.bitrate = 64;
        s.sampleRate = 22050;
        s.mode = mpeg::Mode::Mono;
        s.protection = true;
        const QString name = writeFile("a.mp3", mpeg::junk(300) + mpeg::frames(s, 200));
        TMP3File file;
        file.ReadFromFile(name);
        file.SetTagWriteMode(id3_both);
        file.SetTitle(QStringLiteral("Schöner Titel"));
        file.SetArtist(QStringLiteral("Autorin"));
        file.SetYear(QStringLiteral("2001"));
        file.SetTrack(QStringLiteral("4"));
        EXPECT_EQ(file.WriteToFile(name), FileErr_None);
        EXPECT_EQ(file.ReadFromFile(name), FileErr_None);
        return name;
    }
};

TEST_F(CliAudioInfo, JsonHoldsTheAudioFactsAndFields)
{
    const QString tagged = taggedFile();
    TMP3File expected;
    expected.ReadFromFile(tagged);
    const QString text = writeFile("text.mp3", "keine Musik");

    const QJsonArray files =
        QJsonDocument::fromJson(run({QStringLiteral("info"), QStringLiteral("--json"), tagged, text}).toUtf8()).array();
    ASSERT_EQ(files.size(), 2);

    const QJsonObject audio = files[0].toObject().value("audio").toObject();
    EXPECT_EQ(audio.value("version").toInt(), 2);
    EXPECT_EQ(audio.value("layer").toInt(), 3);
    EXPECT_EQ(audio.value("protection").toBool(), true);
    EXPECT_EQ(audio.value("bitrate").toInt(), 64);
    EXPECT_EQ(audio.value("samplerate").toInt(), 22050);
    EXPECT_EQ(audio.value("channelmode").toInt(), 3);
    EXPECT_EQ(audio.value("channels").toInt(), 1);
    EXPECT_EQ(audio.value("frames").toInt(), expected.MpegInfo().Frames());
    EXPECT_EQ(audio.value("duration").toInt(), expected.Duration());
    EXPECT_EQ(audio.value("vbr").toBool(), false);
    EXPECT_EQ(audio.value("firstHeaderPosition").toInteger(), expected.ID3v2TagSize() + 300);

    const QJsonObject fields = files[0].toObject().value("fields").toObject();
    EXPECT_EQ(fields.value("title").toString(), QStringLiteral("Schöner Titel"));
    EXPECT_EQ(fields.value("artist").toString(), QStringLiteral("Autorin"));
    EXPECT_EQ(fields.value("album").toString(), QString());
    EXPECT_EQ(fields.value("year").toString(), QStringLiteral("2001"));
    EXPECT_EQ(fields.value("comment").toString(), QString());
    EXPECT_EQ(fields.value("track").toString(), QStringLiteral("4"));
    EXPECT_TRUE(fields.contains("genre"));

    EXPECT_TRUE(files[1].toObject().value("audio").isNull());
    EXPECT_EQ(files[1].toObject().value("fields").toObject().value("track").toString(), QStringLiteral("0"));
}

TEST_F(CliAudioInfo, TextNamesTheFactsInGerman)
{
    const QString out = run({QStringLiteral("info"), taggedFile(), writeFile("text.mp3", "keine Musik")});
    for (const char *line :
         {"MPEG-Audio: MPEG-2 Layer III", "  Bitrate: 64 kbit/s, konstant", "  Abtastrate: 22.050 Hz",
          "  Kanäle: 1 (Mono)", "  Prüfsumme: ja", "  Titel: Schöner Titel", "  Tracknummer: 4",
          "MPEG-Audio: kein MPEG-Audio-Frame gefunden"})
        EXPECT_TRUE(out.contains(QString::fromUtf8(line))) << line << "\n" << out.toStdString();
}

} // namespace
