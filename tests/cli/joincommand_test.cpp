#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace
{

class CliJoinTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        aTon = mpeg::frames({}, 12, true);
        mpeg::FrameSpec mono;
        mono.bitrate = 64;
        mono.mode = mpeg::Mode::Mono;
        bTon = mpeg::frames(mono, 7);
        writeFile("a.mp3", mpeg::id3v2Tag(3, 1034) + aTon + mpeg::id3v1Tag("A"));
        writeFile("b.mp3", bTon);
    }

    // Runs "zindara-cli join ARGS" in the test's folder.
    int join(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(ZINDARA_CLI), QStringList{"join"} + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        out = QString::fromUtf8(p.readAllStandardOutput());
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QByteArray aTon, bTon;
    QString out, err;
};

} // namespace

TEST_F(CliJoinTest, BadArgumentsAreUsageErrors)
{
    const QStringList faelle[] = {
        {"a.mp3"},
        {"-o"},
        {"-o", "x.mp3"},
        {"-o", "x.mp3", "--append", "--overwrite", "a.mp3"},
        {"-o", "x.mp3", "-o", "y.mp3", "a.mp3"},
        {"-o", "x.mp3", "--schnell", "a.mp3"},
    };
    for (const QStringList &args : faelle) {
        EXPECT_EQ(join(args), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(err.startsWith("zindara-cli: ")) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("x.mp3")));
}

TEST_F(CliJoinTest, JoinsTheAudioIntoANewFile)
{
    EXPECT_EQ(join({"-o", "neu.mp3", "a.mp3", "b.mp3"}), 0) << err.toStdString();
    EXPECT_EQ(out.trimmed(), "Die Datei \"neu.mp3\" wurde erfolgreich erstellt!");
    EXPECT_TRUE(err.isEmpty());
    EXPECT_TRUE(readFile(path("neu.mp3")) == aTon + bTon);

    // File names that look like options follow "--".
    writeFile("-c.mp3", bTon);
    EXPECT_EQ(join({"-o", "strich.mp3", "--", "-c.mp3", "a.mp3"}), 0) << err.toStdString();
    EXPECT_TRUE(readFile(path("strich.mp3")) == bTon + aTon);
}

TEST_F(CliJoinTest, AnExistingTargetNeedsAppendOrOverwrite)
{
    const QByteArray alt = mpeg::frames({}, 3);
    const QByteArray v1 = mpeg::id3v1Tag("Ziel");
    writeFile("ziel.mp3", alt + v1);

    EXPECT_EQ(join({"-o", "ziel.mp3", "b.mp3"}), 1);
    EXPECT_TRUE(err.contains("Die Datei \"ziel.mp3\" existiert bereits!")) << err.toStdString();
    EXPECT_TRUE(readFile(path("ziel.mp3")) == alt + v1);

    EXPECT_EQ(join({"-o", "ziel.mp3", "--append", "a.mp3", "b.mp3"}), 0) << err.toStdString();
    EXPECT_TRUE(readFile(path("ziel.mp3")) == alt + aTon + bTon + v1);

    EXPECT_EQ(join({"--overwrite", "-o", "ziel.mp3", "b.mp3"}), 0) << err.toStdString();
    EXPECT_TRUE(readFile(path("ziel.mp3")) == bTon);

    // Overwriting one of the inputs would destroy it before it is read.
    EXPECT_EQ(join({"--overwrite", "-o", "ziel.mp3", "ziel.mp3", "a.mp3"}), 2);
    EXPECT_TRUE(readFile(path("ziel.mp3")) == bTon);
}

TEST_F(CliJoinTest, FailuresAreReportedWithExitCode1)
{
    EXPECT_EQ(join({"-o", "neu.mp3", "a.mp3", "fehlt.mp3", "b.mp3"}), 1);
    EXPECT_EQ(err.trimmed(), "Fehler beim Lesen der Indatei \"fehlt.mp3\"!");
    EXPECT_EQ(out.trimmed(), "Die Datei \"neu.mp3\" wurde erfolgreich erstellt!");
    EXPECT_TRUE(readFile(path("neu.mp3")) == aTon + bTon);

    EXPECT_EQ(join({"-o", "kein/ordner.mp3", "a.mp3"}), 1);
    EXPECT_EQ(err, "Die Outdatei \"kein/ordner.mp3\" konnte nicht geöffnet werden!\n"
                   "Die Datei \"kein/ordner.mp3\" konnte nicht erstellt werden!\n");
    EXPECT_TRUE(out.isEmpty());

    if (QFile::exists("/dev/full")) {
        EXPECT_EQ(join({"--append", "-o", "/dev/full", "a.mp3"}), 1);
        EXPECT_EQ(err, "Fehler beim Schreiben der Outatei \"/dev/full\"!\n"
                       "Die Datei \"/dev/full\" konnte nicht erstellt werden!\n");
    }
}

// Appending to a file that is also named as an input: the target is held for writing alone, so
// that input cannot be read; its audio is not doubled.
TEST_F(CliJoinTest, AppendingToOneOfTheInputsSkipsThatInput)
{
    const QByteArray tTon = QByteArray(mpeg::frames({}, 20, true)).left(5000);
    const QByteArray xTon = QByteArray(mpeg::frames({}, 20, true)).left(3000);
    const QByteArray v1 = mpeg::id3v1Tag("T");
    writeFile("T.mp3", tTon + v1);
    writeFile("X.mp3", xTon);
    EXPECT_EQ(join({"-o", "T.mp3", "--append", "X.mp3", "T.mp3"}), 1);
    EXPECT_EQ(err, "Fehler beim Lesen der Indatei \"T.mp3\"!\n");
    EXPECT_EQ(out, "Die Datei \"T.mp3\" wurde erfolgreich erstellt!\n");
    EXPECT_EQ(readFile(path("T.mp3")).size(), 8128);
    EXPECT_TRUE(readFile(path("T.mp3")) == tTon + xTon + v1);

    EXPECT_EQ(join({"-o", "T.mp3", "--overwrite", "X.mp3", "T.mp3"}), 2);
    EXPECT_EQ(err, "zindara-cli: Die Zieldatei \"T.mp3\" ist zugleich eine der Dateien, die zusammengefügt "
                   "werden sollen.\nMehr mit: zindara-cli --help\n");
    EXPECT_EQ(readFile(path("T.mp3")).size(), 8128);
}
