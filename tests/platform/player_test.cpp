#include "encoded.h"
#include "decoder/mp3length.h"
#include "platform/player.h"
#include "platform/sounds.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <vector>

namespace {

// 160 frames: about 4.2 s.
QByteArray syntheticAudio()
{
    return mpeg::frames(mpeg::FrameSpec{}, 160, true);
}

class Player : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        spy = std::make_unique<QSignalSpy>(&player, &TMediaPlayer::OnNotify);
    }

    void openFile(const QString &file)
    {
        player.setFileName(file);
        ASSERT_NO_THROW(player.Open());
        ASSERT_EQ(player.Mode(), TMPModes::mpStopped);
    }

    static bool haveSoundServer() { return !QMediaDevices::defaultAudioOutput().isNull(); }

    // Notifications delivered so far, after the queued ones have arrived.
    qsizetype notifications()
    {
        QTest::qWait(50);
        return spy->count();
    }

    TMediaPlayer player;
    std::unique_ptr<QSignalSpy> spy;
};

#define REQUIRE_SOUND_SERVER()                                                                     \
    if (!haveSoundServer())                                                                        \
    FAIL() << "No sound server; scripts/test.sh starts one"

struct BadFileCase {
    const char *name;
    QByteArray contents;
    bool create;
};

void PrintTo(const BadFileCase &c, std::ostream *os)
{
    *os << c.name;
}


class PlayerRefusesFile : public Player, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(PlayerRefusesFile, OpenRaisesANamedErrorAndLeavesNothingLoaded)
{
    const BadFileCase &c = GetParam();
    const QString file = c.create ? writeFile("bad.mp3", c.contents) : path("missing.mp3");
    player.setFileName(file);
    try {
        player.Open();
        FAIL() << "Open did not raise";
    } catch (const EMCIDeviceError &e) {
        EXPECT_TRUE(e.message().contains(file)) << e.what();
    }
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
    EXPECT_EQ(player.Length(), 0);
    // The other commands have nothing to act on and stay quiet.
    player.Play();
    player.Pause();
    player.setPosition(1000);
    player.Stop();
    player.Close();
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
    EXPECT_EQ(player.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, PlayerRefusesFile,
                         ::testing::Values(BadFileCase{"Missing", {}, false}, BadFileCase{"Empty", {}, true},
                                           BadFileCase{"Text", QByteArray("keine Musik\n").repeated(500), true},
                                           BadFileCase{"Junk", mpeg::junk(30000), true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Player, OpenWithoutFileNameRaises)
{
    EXPECT_THROW(player.Open(), EMCIDeviceError);
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
}

TEST_F(Player, LoadedFileCanBeCopiedAndOpenedElsewhere)
{
    const QString file = writeFile("work.mp3", syntheticAudio());
    openFile(file);
    EXPECT_EQ(player.Length(), Mp3LaengeMs(file));
    ASSERT_TRUE(QFile::copy(file, path("copy.mp3")));
    EXPECT_EQ(readFile(path("copy.mp3")), readFile(file));
    QFile writer(file);
    EXPECT_TRUE(writer.open(QIODevice::ReadWrite));
    TMediaPlayer second;
    second.setFileName(file);
    EXPECT_NO_THROW(second.Open());
}

TEST_F(Player, FileRemovedWhileLoadedPlaysOnAndThenCannotBeOpened)
{
    REQUIRE_SOUND_SERVER();
    const QString file = writeFile("gone.mp3", syntheticAudio());
    openFile(file);
    player.Play();
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.Position() > 200; }, 5000));
    player.Stop();
    EXPECT_THROW(player.Open(), EMCIDeviceError);
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
}

TEST_F(Player, SeekingWhileStoppedOrPausedDoesNotPlay)
{
    REQUIRE_SOUND_SERVER();
    openFile(writeFile("a.mp3", syntheticAudio()));
    player.setPosition(1234);
    EXPECT_EQ(player.Position(), 1234);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    player.setPosition(-50);
    EXPECT_EQ(player.Position(), 0);
    player.setPosition(player.Length() + 5000);
    EXPECT_EQ(player.Position(), player.Length());

    player.setPosition(1000);
    player.Play();
    ASSERT_EQ(player.Mode(), TMPModes::mpPlaying);
    player.Pause();
    ASSERT_EQ(player.Mode(), TMPModes::mpPaused);
    player.setPosition(2500);
    QTest::qWait(300);
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    EXPECT_EQ(player.Position(), 2500);

    // Moving while playing stops there; the caller plays again.
    player.Play();
    player.setPosition(300);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    QTest::qWait(200);
    EXPECT_EQ(player.Position(), 300);
}

// Where Play starts after the position was set while stopped or paused. -1 stands for the
// length of the file.
struct StartCase {
    const char *name;
    bool paused;
    qint64 set;
    qint64 expected;
    qint64 playsFrom;
};

void PrintTo(const StartCase &c, std::ostream *os)
{
    *os << c.name;
}

class PlayerStartsAt : public Player, public ::testing::WithParamInterface<StartCase> {};

TEST_P(PlayerStartsAt, ThePositionSet)
{
    REQUIRE_SOUND_SERVER();
    const StartCase &c = GetParam();
    openFile(writeFile("a.mp3", syntheticAudio()));
    const qint64 length = player.Length();
    const auto resolve = [length](qint64 ms) { return ms == -1 ? length : ms; };
    if (c.paused) {
        player.Play();
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.Position() > 100; }, 5000));
        player.Pause();
    }
    const TMPModes before = player.Mode();
    player.setPosition(c.set == -1 ? length : c.set);
    EXPECT_EQ(player.Mode(), before);
    EXPECT_EQ(player.Position(), resolve(c.expected));

    player.Play();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    const qint64 from = resolve(c.playsFrom);
    EXPECT_GE(player.Position(), from);
    EXPECT_LT(player.Position(), from + 300);
    // It goes on playing instead of ending on what was left behind the position.
    QTest::qWait(300);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    player.Stop();
}

INSTANTIATE_TEST_SUITE_P(Positions, PlayerStartsAt,
                         ::testing::Values(StartCase{"Inside", false, 1234, 1234, 1234},
                                           StartCase{"InsideWhilePaused", true, 2500, 2500, 2500},
                                           StartCase{"BelowZero", false, -50, 0, 0},
                                           StartCase{"AtTheLength", false, -1, -1, 0},
                                           StartCase{"AtTheLengthWhilePaused", true, -1, -1, 0},
                                           StartCase{"BeyondTheLength", false, 99999, -1, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// The mode right after each command, from each mode the callers act on.
enum class Command { Play, Pause, Stop, SetPosition, Close };

struct ModeCase {
    const char *name;
    TMPModes from;
    Command command;
    TMPModes after;
};

void PrintTo(const ModeCase &c, std::ostream *os)
{
    *os << c.name;
}

class PlayerModeAfter : public Player, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PlayerModeAfter, TheCommand)
{
    REQUIRE_SOUND_SERVER();
    const ModeCase &c = GetParam();
    openFile(writeFile("a.mp3", syntheticAudio()));
    if (c.from != TMPModes::mpStopped)
        player.Play();
    if (c.from == TMPModes::mpPaused)
        player.Pause();
    ASSERT_EQ(player.Mode(), c.from);
    switch (c.command) {
    case Command::Play: player.Play(); break;
    case Command::Pause: player.Pause(); break;
    case Command::Stop: player.Stop(); break;
    case Command::SetPosition: player.setPosition(2000); break;
    case Command::Close: player.Close(); break;
    }
    EXPECT_EQ(player.Mode(), c.after);
    QTest::qWait(100);
    EXPECT_EQ(player.Mode(), c.after);
    player.Stop();
}

constexpr TMPModes stopped = TMPModes::mpStopped, playing = TMPModes::mpPlaying, paused = TMPModes::mpPaused,
                   notReady = TMPModes::mpNotReady;

INSTANTIATE_TEST_SUITE_P(
    Commands, PlayerModeAfter,
    ::testing::Values(ModeCase{"StoppedPlay", stopped, Command::Play, playing},
                      ModeCase{"StoppedPause", stopped, Command::Pause, stopped},
                      ModeCase{"StoppedStop", stopped, Command::Stop, stopped},
                      ModeCase{"StoppedSeek", stopped, Command::SetPosition, stopped},
                      ModeCase{"StoppedClose", stopped, Command::Close, notReady},
                      ModeCase{"PlayingPlay", playing, Command::Play, playing},
                      ModeCase{"PlayingPause", playing, Command::Pause, paused},
                      ModeCase{"PlayingStop", playing, Command::Stop, stopped},
                      ModeCase{"PlayingSeek", playing, Command::SetPosition, stopped},
                      ModeCase{"PlayingClose", playing, Command::Close, notReady},
                      ModeCase{"PausedPlay", paused, Command::Play, playing},
                      ModeCase{"PausedPause", paused, Command::Pause, playing},
                      ModeCase{"PausedStop", paused, Command::Stop, stopped},
                      ModeCase{"PausedSeek", paused, Command::SetPosition, paused},
                      ModeCase{"PausedClose", paused, Command::Close, notReady}),
    [](const auto &info) { return std::string(info.param.name); });

struct PlayCase {
    const char *name;
    bool encoded;
    int cutFront; // bytes cut off both ends, so the file starts and ends inside a frame
};

void PrintTo(const PlayCase &c, std::ostream *os)
{
    *os << c.name;
}


class PlayerPlays : public Player, public ::testing::WithParamInterface<PlayCase> {
protected:
    QString makeFile()
    {
        const PlayCase &c = GetParam();
        QString file = path("play.mp3");
        if (c.encoded) {
            if (!encodersAvailable())
                return {};
            if (!encodeWithFfmpeg(file, 4.0, {"-b:a", "128k"}))
                return {};
        } else {
            writeFile("play.mp3", syntheticAudio());
        }
        if (c.cutFront > 0) {
            const QByteArray all = readFile(file);
            file = writeFile("piece.mp3", all.mid(c.cutFront, all.size() - 2 * c.cutFront));
        }
        return file;
    }
};

TEST_P(PlayerPlays, PositionFollowsRealTimeAndPauseHoldsIt)
{
    REQUIRE_SOUND_SERVER();
    const QString file = makeFile();
    if (file.isEmpty())
        GTEST_SKIP() << "ffmpeg missing";
    openFile(file);

    QElapsedTimer clock;
    player.Play();
    clock.start();
    ASSERT_EQ(player.Mode(), TMPModes::mpPlaying);
    // What has been heard, not what has been decoded ahead of the listener.
    QTest::qWait(100);
    EXPECT_LE(player.Position(), clock.elapsed() + 60);

    ASSERT_TRUE(QTest::qWaitFor([&] { return player.Position() > 0; }, 5000)) << "playback does not start";
    const qint64 p0 = player.Position();
    clock.restart();
    QTest::qWait(1000);
    const qint64 advanced = player.Position() - p0;
    EXPECT_GE(advanced, 300);
    EXPECT_LE(advanced, clock.elapsed() + 300);

    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    const qint64 held = player.Position();
    QTest::qWait(300);
    EXPECT_EQ(player.Position(), held);

    // Pause again resumes where it was.
    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_GE(player.Position(), held);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.Position() > held + 100; }, 5000));

    player.Stop();
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    const qint64 stopped = player.Position();
    EXPECT_GT(stopped, held);
    QTest::qWait(200);
    EXPECT_EQ(player.Position(), stopped);
}

TEST_P(PlayerPlays, EndStopsAtLengthWithNotificationAndNextPlayStartsOver)
{
    REQUIRE_SOUND_SERVER();
    const QString file = makeFile();
    if (file.isEmpty())
        GTEST_SKIP() << "ffmpeg missing";
    openFile(file);
    const qint64 length = player.Length();
    ASSERT_GT(length, 1000);
    EXPECT_EQ(length, Mp3LaengeMs(file));

    player.setPosition(length - 400);
    QElapsedTimer clock;
    player.Play();
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy->count() > 0; }, 8000)) << "no notification at the end";
    // Not before the listener has heard the rest.
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(player.NotifyValue(), TMPNotifyValues::nvSuccessful);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), length);

    player.Play();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_LT(player.Position(), 300);
    player.Stop();
}

INSTANTIATE_TEST_SUITE_P(Files, PlayerPlays,
                         ::testing::Values(PlayCase{"Synthetic", false, 0}, PlayCase{"Encoded", true, 0},
                                           PlayCase{"PieceCutInsideFrames", true, 250}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Player, NotifyAppliesToTheNextCommandOnly)
{
    REQUIRE_SOUND_SERVER();
    player.setFileName(writeFile("a.mp3", syntheticAudio()));
    player.Open();
    EXPECT_EQ(notifications(), 0);

    player.setNotify(true);
    player.Close();
    player.setFileName(path("a.mp3"));
    player.setNotify(true);
    player.Open();
    EXPECT_EQ(notifications(), 2);

    // Play asks by default; pausing completes it.
    player.Play();
    player.Pause();
    EXPECT_EQ(notifications(), 3);
    EXPECT_EQ(player.NotifyValue(), TMPNotifyValues::nvSuperseded);

    player.setNotify(false);
    player.Play();
    player.Stop();
    EXPECT_EQ(notifications(), 3);

    // A stop that asks reports itself; the flag is gone for the stop after it.
    player.setNotify(true);
    player.Stop();
    player.Stop();
    EXPECT_EQ(notifications(), 4);

    // A play replaced by another play, then cut off by closing.
    player.Play();
    player.Play();
    EXPECT_EQ(notifications(), 5);
    player.Close();
    EXPECT_EQ(notifications(), 6);
    EXPECT_EQ(player.NotifyValue(), TMPNotifyValues::nvAborted);
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
}

TEST_F(Player, OpeningAnotherFileEndsThePlay)
{
    REQUIRE_SOUND_SERVER();
    openFile(writeFile("a.mp3", syntheticAudio()));
    player.Play();
    const QString other = writeFile("b.mp3", mpeg::frames(mpeg::FrameSpec{}, 40, true));
    openFile(other);
    EXPECT_EQ(notifications(), 1);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Length(), Mp3LaengeMs(other));
}

// The main window closes its player, writes the working copy anew under the same name and opens
// it again, asking for the notification of the opening.
TEST_F(Player, ReopensTheSameFileRewrittenAfterClosingWhilePlaying)
{
    REQUIRE_SOUND_SERVER();
    std::vector<TMPNotifyValues> kinds;
    QObject::connect(&player, &TMediaPlayer::OnNotify, [&] { kinds.push_back(player.NotifyValue()); });
    const QString file = writeFile("TmpZinS1.mp3", syntheticAudio());
    openFile(file);
    player.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.Position() > 100; }, 5000));
    player.Close();
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);

    const QByteArray shorter = mpeg::frames(mpeg::format(mpeg::Version::Mpeg2, 3, 64, 22050), 30, true);
    writeFile("TmpZinS1.mp3", shorter);
    player.Close();
    player.setFileName(file);
    player.setNotify(true);
    player.Open();
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Length(), Mp3LaengeMs(file));
    EXPECT_LT(player.Length(), 1000);

    player.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return kinds.size() >= 3; }, 8000)) << "the new file does not end";
    EXPECT_EQ(kinds, (std::vector<TMPNotifyValues>{TMPNotifyValues::nvAborted, TMPNotifyValues::nvSuccessful,
                                                   TMPNotifyValues::nvSuccessful}));
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), player.Length());
    EXPECT_EQ(notifications(), 3);
}

// Runs itself in a child process whose sound server address leads nowhere.
TEST_F(Player, WithoutSoundServerOpensAndPlayEndsStopped)
{
    if (qEnvironmentVariable("ZINDARA_PLAYER_CHILD") == QLatin1String("nosound")) {
        openFile(writeFile("a.mp3", syntheticAudio()));
        EXPECT_GT(player.Length(), 4000);
        player.setPosition(700);
        player.Play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return player.Mode() == TMPModes::mpStopped; }, 5000));
        EXPECT_EQ(player.Position(), 700);
        EXPECT_EQ(notifications(), 1);
        EXPECT_EQ(player.NotifyValue(), TMPNotifyValues::nvFailure);
        player.Pause();
        EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
        EXPECT_TRUE(Piepsen());
        FehlerTon();
        return;
    }
    const QString runtime = path("runtime");
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString config = writeFile("client.conf", "autospawn = no\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZINDARA_PLAYER_CHILD", "nosound");
    env.insert("PULSE_SERVER", "unix:" + path("nowhere/native"));
    env.insert("PULSE_CLIENTCONFIG", config);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("PULSE_RUNTIME_PATH", runtime);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
    ASSERT_TRUE(child.waitForFinished(60000)) << "the player hangs without a sound server";
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

} // namespace
