// Kills a real zindara-cli at many points of a join, a join onto an existing file and a split:
// the user's file is always as it was or as it should be, and the temporary folder holds
// nothing that the next start does not remove. That a start never removes the working copy of
// a copy that still runs is shown in the cutting tests.
#include "cli/killrun.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Inhalt = std::optional<QByteArray>; // nothing: the file does not exist

class SaveKillTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (const char *ordner : {"work", "tmp", "ref"})
            QDir().mkpath(path(QString::fromLatin1(ordner)));
        // 4 MiB of inputs: 32 blocks, 3 ms after each.
        eingaben = {{QStringLiteral("eins.mp3"), mpeg::id3v2Tag(3, 2048) + ton(2 << 20) + mpeg::id3v1Tag("Eins")},
                    {QStringLiteral("zwei.mp3"), ton(2 << 20)}};
    }

    static QByteArray ton(int n) { return mpeg::frames({}, n / 417 + 1).left(n); }

    QString tmp() const { return path(QStringLiteral("tmp")); }

    Inhalt lesen(const QString &datei) const { return QFile::exists(datei) ? Inhalt(readFile(datei)) : std::nullopt; }

    // Puts the inputs and the user's file (as `vorher`) into `ordner`.
    void fuellen(const QString &ordner, const QString &datei, const Inhalt &vorher) const
    {
        for (const QString &name : killrun::eintraege(path(ordner)))
            QFile::remove(path(ordner + QLatin1Char('/') + name));
        for (const auto &[name, bytes] : eingaben)
            writeFile(ordner + QLatin1Char('/') + name, bytes);
        if (vorher)
            writeFile(ordner + QLatin1Char('/') + datei, *vorher);
    }

    // Kills the command at many points and checks the user's file `datei` and what is left;
    // `teile` allows the pieces a split writes beside its input.
    void killAtManyPoints(const QStringList &args, const QString &datei, const Inhalt &vorher, bool teile = false)
    {
        // The kill points spread over the whole slowed run, however fast this build is.
        // The shortest of three slowed runs, so that a run slowed further by a busy machine does
        // not push most kill points past the end of the later runs.
        int dauer = 0;
        for (int lauf = 0; lauf < 3; ++lauf) {
            fuellen(QStringLiteral("work"), datei, vorher);
            QElapsedTimer uhr;
            uhr.start();
            ASSERT_EQ(killrun::ausfuehren(args, tmp(), path(QStringLiteral("work")), 3), 0);
            dauer = lauf == 0 ? int(uhr.elapsed()) : std::min(dauer, int(uhr.elapsed()));
        }
        fuellen(QStringLiteral("ref"), datei, vorher);
        ASSERT_EQ(killrun::ausfuehren(args, tmp(), path(QStringLiteral("ref"))), 0);
        const Inhalt nachher = lesen(path(QStringLiteral("ref/") + datei));
        if (!teile) {
            ASSERT_NE(nachher, vorher);
        }
        EXPECT_EQ(killrun::eintraege(tmp()), QStringList()) << "a finished run leaves nothing";

        int getoetet = 0, wieVorher = 0, wieNachher = 0;
        for (int ms = 5; ms <= dauer * 3 / 2; ms += std::max(2, dauer / 12)) {
            fuellen(QStringLiteral("work"), datei, vorher);
            getoetet += killrun::startenUndToeten(args, ms, tmp(), path(QStringLiteral("work")));
            const Inhalt jetzt = lesen(path(QStringLiteral("work/") + datei));
            wieVorher += jetzt == vorher;
            wieNachher += jetzt == nachher;
            EXPECT_TRUE(jetzt == vorher || jetzt == nachher) << "killed after " << ms << " ms";

            // Only working copies and notes of files beside the user's, and the next start
            // removes them.
            for (const QString &name : killrun::eintraege(tmp()))
                EXPECT_TRUE(name.startsWith(QLatin1String("TmpZinS")) || name.startsWith(QLatin1String("TmpZinV")))
                    << name.toStdString();
            EXPECT_EQ(killrun::ausfuehren({QStringLiteral("--version")}, tmp(), path(QStringLiteral("work"))), 0);
            EXPECT_EQ(killrun::eintraege(tmp()), QStringList()) << "killed after " << ms << " ms";
            QStringList uebrig;
            for (const QString &name : killrun::eintraege(path(QStringLiteral("work"))))
                if (name != datei && name != "eins.mp3" && name != "zwei.mp3" &&
                    !(teile && name.startsWith(QLatin1String("eins_"))))
                    uebrig << name;
            EXPECT_EQ(uebrig, QStringList()) << "killed after " << ms << " ms";
        }
        // The kills fell inside the command, and some on either side of the moment it changed
        // the file.
        EXPECT_GE(getoetet, 5);
        EXPECT_GE(wieVorher, 3);
        if (!teile) {
            EXPECT_GE(wieNachher, 1);
        }
    }

    std::vector<std::pair<QString, QByteArray>> eingaben;
};

} // namespace

TEST_F(SaveKillTest, AJoinKilledAnywhereMakesNoHalfFile)
{
    killAtManyPoints({"join", "-o", "album.mp3", "eins.mp3", "zwei.mp3"}, QStringLiteral("album.mp3"), std::nullopt);
}

TEST_F(SaveKillTest, AJoinOntoAnExistingFileKilledAnywhereKeepsItWhole)
{
    const QByteArray album = ton(1 << 20) + mpeg::id3v1Tag("Album");
    for (const char *art : {"--append", "--overwrite"})
        killAtManyPoints({"join", "-o", "album.mp3", art, "eins.mp3", "zwei.mp3"}, QStringLiteral("album.mp3"), album,
                         180);
}

TEST_F(SaveKillTest, ASplitKilledAnywhereLeavesNoWorkingCopyBehind)
{
    killAtManyPoints({"split", "eins.mp3", "--kb", "500"}, QStringLiteral("eins.mp3"), eingaben[0].second, true);
}
