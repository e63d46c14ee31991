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

class TagKillTest : public TempDirTest {
protected:
    // Runs the command on `file`, slowed down, and kills it after `ms` milliseconds; true when
    // it was killed before it ended.
    bool runAndKill(const QStringList &args, int ms) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZINDARA_KOPIE_PAUSE_MS"), QStringLiteral("3"));
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZINDARA_CLI), args);
        EXPECT_TRUE(process.waitForStarted());
        const bool ended = process.waitForFinished(ms);
        if (!ended) {
            ::kill(pid_t(process.processId()), SIGKILL);
            process.waitForFinished();
        }
        return !ended;
    }

    // What the command makes of `before`, run to its end on a copy in its own folder.
    QByteArray finished(const QStringList &options, const QByteArray &before) const
    {
        QDir().mkpath(path(QStringLiteral("ref")));
        const QString copy = path(QStringLiteral("ref/song.mp3"));
        QFile::remove(copy);
        writeFile(QStringLiteral("ref/song.mp3"), before);
        QProcess process;
        process.start(QStringLiteral(ZINDARA_CLI), QStringList{QStringLiteral("tag")} + options + QStringList{copy});
        EXPECT_TRUE(process.waitForFinished(60000));
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
        const QByteArray after = finished(options, before);
        ASSERT_NE(after, before);
        const QString file = path(QStringLiteral("work/song.mp3"));
        int killed = 0, asBefore = 0, asAfter = 0;
        // 4 MiB in 32 blocks, 3 ms after each: about 100 ms per run.
        for (int ms = 5; ms <= 125; ms += 8) {
            QFile::remove(file);
            writeFile(QStringLiteral("work/song.mp3"), before);
            killed += runAndKill(QStringList{QStringLiteral("tag")} + options + QStringList{file}, ms);
            const QByteArray now = readFile(file);
            asBefore += now == before;
            asAfter += now == after;
            EXPECT_TRUE(now == before || now == after) << "killed after " << ms << " ms";
            EXPECT_EQ(leftovers(), QStringList()) << "killed after " << ms << " ms";
        }
        // The kills did fall inside the operation, and some on either side of its end.
        EXPECT_GE(killed, 5);
        EXPECT_GE(asBefore, 3);
        EXPECT_GE(asAfter, 1);
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
