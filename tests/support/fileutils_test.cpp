#include "support/fileutils.h"
#include "support/tempdir.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

class FileUtilsTest : public TempDirTest {};

TEST_F(FileUtilsTest, DateiGroesseOfMissingEmptyAndFilledFiles)
{
    EXPECT_EQ(DateiGroesse(path("fehlt.mp3")), -1);
    EXPECT_EQ(DateiGroesse(QString()), -1);
    EXPECT_EQ(DateiGroesse(writeFile("leer.mp3", {})), 0);
    EXPECT_EQ(DateiGroesse(writeFile("voll.mp3", QByteArray(1234, 'x'))), 1234);
}

TEST_F(FileUtilsTest, TempOrdnerIsTheProcessTemporaryFolderWithSlash)
{
    EXPECT_EQ(TempOrdner(), dir.path() + "/");
}

TEST_F(FileUtilsTest, TempMp3NameTakesFirstFreeNumberAndCreatesItEmpty)
{
    writeFile("TmpZinS1.mp3", "a");
    writeFile("TmpZinS2.mp3", "b");
    const QString name = TempMp3Name();
    EXPECT_EQ(name, path("TmpZinS3.mp3"));
    EXPECT_EQ(DateiGroesse(name), 0);
    EXPECT_EQ(TempMp3Name(), path("TmpZinS4.mp3"));
}

TEST_F(FileUtilsTest, TempMp3NameInUnwritableFolderRaises)
{
    // /proc refuses new files even to root.
    qputenv("TMPDIR", "/proc");
    EXPECT_THROW(TempMp3Name(), EFileError);
    EXPECT_TRUE(TempDateiName(QStringLiteral("TmpZinS"), 0).isEmpty());
}

TEST_F(FileUtilsTest, TempMp3NameInVanishedFolderRaises)
{
    const QString missing = path("gibt-es-nicht");
    qputenv("TMPDIR", QFile::encodeName(missing));
    EXPECT_EQ(TempOrdner(), missing + "/");
    EXPECT_THROW(TempMp3Name(), EFileError);
}

TEST_F(FileUtilsTest, TempDateiNameUsesThreeCharactersOfThePrefix)
{
    const QString made = TempDateiName(QStringLiteral("TmpZinS"), 0);
    ASSERT_FALSE(made.isEmpty());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Tmp[0-9A-F]{1,4}\\.tmp$"))
                    .match(QFileInfo(made).fileName())
                    .hasMatch())
        << made.toStdString();
    EXPECT_TRUE(QFileInfo::exists(made));
    EXPECT_NE(TempDateiName(QStringLiteral("TmpZinS"), 0), made);
    EXPECT_EQ(TempDateiName(QStringLiteral("TagTemp"), 0x1A2B), path("Tag1A2B.tmp"));
}

} // namespace
