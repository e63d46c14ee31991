// Kills a real `zindara-cli tag` at many points of a rewrite and of a removal: the file is
// always as it was or as it should be, and nothing large stays behind.
#include "support/tempdir.h"
#include "tags/id3v2bytes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// 4 MiB of audio: 32 blocks of the copy, each followed by this pause.
constexpr int kPauseMs = 3;

class TagKillTest : public TempDirTest {
protected:
    static QProcessEnvironment slowedDown(const QString &tmp)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZINDARA_KOPIE_PAUSE_MS"), QString::number(kPauseMs));
        env.insert(QStringLiteral("TMPDIR"), tmp);
        return env;
    }

    // Runs the command slowed down and kills it after `ms` milliseconds; true when it was
    // killed before it ended.
    bool runAndKill(const QStringList &args, int ms) const
    {
        QProcess process;
        process.setProcessEnvironment(slowedDown(path(QStringLiteral("tmp"))));
        process.start(QStringLiteral(ZINDARA_CLI), args);
        EXPECT_TRUE(process.waitForStarted());
        const bool ended = process.waitForFinished(ms);
        if (!ended) {
            ::kill(pid_t(process.processId()), SIGKILL);
            process.waitForFinished();
        }
        return !ended;
    }

    // What the command makes of `before`, run slowed down to its end on a copy in its own
    // folder, and how long that took.
    QByteArray finished(const QStringList &options, const QByteArray &before, qint64 &ms) const
    {
        QDir().mkpath(path(QStringLiteral("ref")));
        const QString copy = path(QStringLiteral("ref/song.mp3"));
        QFile::remove(copy);
        writeFile(QStringLiteral("ref/song.mp3"), before);
        QProcess process;
        process.setProcessEnvironment(slowedDown(path(QStringLiteral("ref"))));
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(ZINDARA_CLI), QStringList{QStringLiteral("tag")} + options + QStringList{copy});
        EXPECT_TRUE(process.waitForFinished(60000));
        ms = timer.elapsed();
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
        return readFile(copy);
    }

    // Everything in the work folder and the temporary folder but the file and the reference.
    QStringList leftovers() const
    {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QStringList found;
        for (const QString &name : QDir(path(QStringLiteral("work"))).entryList(all))
            if (name != QLatin1String("song.mp3"))
                found << name;
        for (const QString &name : QDir(path(QStringLiteral("tmp"))).entryList(all))
            found << QStringLiteral("tmp/") + name;
        return found;
    }

    void killAtManyPoints(const QStringList &options, const QByteArray &before)
    {
        QDir().mkpath(path(QStringLiteral("work")));
        QDir().mkpath(path(QStringLiteral("tmp")));
        qint64 duration = 0;
        const QByteArray after = finished(options, before, duration);
        ASSERT_NE(after, before);
        const QString file = path(QStringLiteral("work/song.mp3"));
        // Kill points spread over the whole run, however fast the machine is today; before the
        // pauses after the 32 blocks have passed, the command cannot have ended.
        const qint64 pauses = 32 * kPauseMs;
        for (int k = 1; k <= 18; ++k) {
            const int ms = int(qMax(duration, pauses) * k / 16);
            QFile::remove(file);
            writeFile(QStringLiteral("work/song.mp3"), before);
            const bool killed = runAndKill(QStringList{QStringLiteral("tag")} + options + QStringList{file}, ms);
            if (ms < pauses) {
                EXPECT_TRUE(killed) << ms << " ms";
            }
            const QByteArray now = readFile(file);
            EXPECT_TRUE(now == before || now == after) << "killed after " << ms << " ms";
            EXPECT_EQ(leftovers(), QStringList()) << "killed after " << ms << " ms";
        }
    }

    static QByteArray audio() { return v2bytes::audio(4 << 20); }
};

} // namespace

TEST_F(TagKillTest, ATagRewriteKilledAnywhereLeavesTheFileWhole)
{
    const QByteArray before = v2bytes::tag(3, v2bytes::frame(3, "TIT2", QByteArray("\0Alt", 4)), 20) + audio();
    // The new title does not fit the old tag: the whole file is rewritten.
    killAtManyPoints({QStringLiteral("--title"), QString(3000, u'n')}, before);
}

TEST_F(TagKillTest, ATagRemovalKilledAnywhereLeavesTheFileWhole)
{
    const QByteArray before = v2bytes::tag(3, v2bytes::frame(3, "TIT2", QByteArray("\0Alt", 4)), 20) + audio();
    killAtManyPoints({QStringLiteral("--remove"), QStringLiteral("v2")}, before);
}
