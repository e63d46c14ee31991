// Working copies of copies of the program that were killed are removed at the next start; those
// of copies that still run, this one included, never.
#include "support/fileutils.h"
#include "support/tempdir.h"
#include "support/tempowner.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class TempCleanupTest : public TempDirTest {
protected:
    QStringList inhalt() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

} // namespace

TEST_F(TempCleanupTest, OnlyWorkingCopiesThatNobodyHoldsAreRemoved)
{
    const QString eigene = TempMp3Name();
    writeFile(QStringLiteral("TmpZinS7.mp3"), QByteArray(5000, 'x')); // left by a killed copy
    // Names that are not working copies are none of ours.
    for (const char *fremd : {"TmpZinS.mp3", "TmpZinS8.mp3.bak", "TmpZinSx.mp3", "Tmp1A2B.tmp", "lied.mp3"})
        writeFile(QString::fromLatin1(fremd), "f");

    // Another copy that runs holds its working copy until it ends.
    int bereit[2];
    ASSERT_EQ(::pipe(bereit), 0);
    const pid_t andere = ::fork();
    ASSERT_GE(andere, 0);
    if (andere == 0) {
        TempMp3Name();
        (void)!::write(bereit[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(bereit[0], &c, 1), 1);
    ::close(bereit[0]);
    ::close(bereit[1]);
    const QString fremdeKopie = path(QStringLiteral("TmpZinS2.mp3"));
    EXPECT_TRUE(QFile::exists(fremdeKopie));

    EXPECT_EQ(VerwaisteTempDateienEntfernen(), 1);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("TmpZinS7.mp3"))));
    EXPECT_TRUE(QFile::exists(eigene));
    EXPECT_TRUE(QFile::exists(fremdeKopie));

    ::kill(andere, SIGKILL);
    ::waitpid(andere, nullptr, 0);
    EXPECT_EQ(VerwaisteTempDateienEntfernen(), 1);
    EXPECT_EQ(inhalt(), (QStringList{"Tmp1A2B.tmp", "TmpZinS.mp3", "TmpZinS1.mp3", "TmpZinS8.mp3.bak", "TmpZinSx.mp3",
                                     "lied.mp3"}));
    // The freed number is taken again.
    EXPECT_EQ(TempMp3Name(), fremdeKopie);
}

// A process killed while a file it replaces had a name beside it: its note in the temporary
// folder leads the next start there, and only that process's files go.
TEST_F(TempCleanupTest, FilesBesideAReplacedFileAreFoundThroughTheirNote)
{
    QDir().mkpath(path(QStringLiteral("musik")));
    const QString tot = QStringLiteral("musik/.lied.mp3.zindara-2147483646-0.tmp");
    const QString lebt = QStringLiteral("musik/.lied.mp3.zindara-%1-0.tmp").arg(::getpid());
    writeFile(tot, QByteArray(1000, 'x'));
    writeFile(lebt, "x");
    writeFile(QStringLiteral("musik/lied.mp3"), "lied");
    writeFile(QStringLiteral("TmpZinV3.txt"), QFile::encodeName(path(QStringLiteral("musik"))) + "\n2147483646\n");
    const QString eigenerVermerk = TempVermerkAnlegen(path(QStringLiteral("musik")));
    EXPECT_EQ(eigenerVermerk, path(QStringLiteral("TmpZinV1.txt")));

    EXPECT_EQ(VerwaisteTempDateienEntfernen(), 1);
    EXPECT_FALSE(QFile::exists(path(tot)));
    EXPECT_TRUE(QFile::exists(path(lebt)));
    EXPECT_EQ(inhalt(), QStringList{QStringLiteral("TmpZinV1.txt")});
    TempVermerkLoeschen(eigenerVermerk);
    EXPECT_EQ(inhalt(), QStringList());
}
