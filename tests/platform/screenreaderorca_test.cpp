// The Orca driver against a real speech-dispatcher, with a harmless process standing in for Orca.
#include "platform/screenreaderdriverorca.h"
#include "platform/screenreaderoutput.h"

#include "support/tempdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Waits for a condition that a server or another process brings about.
bool waitFor(const std::function<bool()> &ACondition, int ATimeoutMs = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (!ACondition()) {
        if (timer.elapsed() > ATimeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool socketListens(const QString &APath)
{
    const QByteArray path = QFile::encodeName(APath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool ok = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

bool pulseAudioRuns()
{
    QProcess pactl;
    pactl.start("pactl", {"info"});
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

// A speech-dispatcher of the test's own, listening in the test's folder.
class SpeechServer {
public:
    explicit SpeechServer(const QString &AFolder) : socketPath(AFolder + "/speechd.sock")
    {
        const QString program = QStandardPaths::findExecutable("speech-dispatcher");
        if (program.isEmpty())
            return;
        QDir().mkpath(AFolder + "/speechd-log");
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        // It ends by itself a little after its last client, should the test die first.
        process.start(program, {"-s", "-t", "10", "-S", socketPath, "-P", AFolder + "/speechd.pid", "-L",
                                AFolder + "/speechd-log"});
        if (process.waitForStarted(5000))
            waitFor([this] { return socketListens(socketPath); });
    }
    ~SpeechServer() { stop(); }

    bool listens() const { return socketListens(socketPath); }
    QByteArray address() const { return "unix_socket:" + QFile::encodeName(socketPath); }
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

private:
    QString socketPath;
    QProcess process;
};

// `sleep` under another name: the kernel names the process after the link.
class StandInProcess {
public:
    StandInProcess(const QString &AFolder, const QString &AName)
    {
        const QString link = AFolder + "/" + AName;
        QFile::link(QStandardPaths::findExecutable("sleep"), link);
        process.start(link, {"120"});
        process.waitForStarted(5000);
    }
    ~StandInProcess() { stop(); }
    bool running() const { return process.state() == QProcess::Running; }
    void stop()
    {
        process.kill();
        process.waitForFinished(5000);
    }

private:
    QProcess process;
};

// Our own process name, so tests that run side by side do not see each other's stand-in.
QByteArray uniqueOrcaName()
{
    return "orca" + QByteArray::number(QCoreApplication::applicationPid());
}

class OrcaWithSpeechDispatcher : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (const char *name : {"SPEECHD_ADDRESS", "BRLAPI_HOST"}) {
            saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        }
    }
    void TearDown() override
    {
        for (const auto &variable : saved) {
            if (variable.set)
                qputenv(variable.name, variable.value);
            else
                qunsetenv(variable.name);
        }
        TempDirTest::TearDown();
    }

    // The server that the test command started, else one of our own.
    bool useSpeechDispatcher()
    {
        const QByteArray shared = qgetenv("SPEECHD_ADDRESS");
        if (shared.startsWith("unix_socket:") && socketListens(QFile::decodeName(shared.mid(12))))
            return true;
        return useOwnSpeechDispatcher();
    }
    bool useOwnSpeechDispatcher()
    {
        server = std::make_unique<SpeechServer>(dir.path());
        if (!server->listens())
            return false;
        qputenv("SPEECHD_ADDRESS", server->address());
        return true;
    }
    // No BRLTTY listens on this socket number.
    void withoutBrltty() { qputenv("BRLAPI_HOST", ":97"); }

    struct Variable {
        const char *name;
        bool set;
        QByteArray value;
    };
    std::vector<Variable> saved;
    std::unique_ptr<SpeechServer> server;
};

TEST_F(OrcaWithSpeechDispatcher, DetectsSpeaksSilencesAndLosesOrca)
{
    if (!useSpeechDispatcher())
        GTEST_SKIP() << "speech-dispatcher cannot be started here";
    withoutBrltty();
    TScreenReaderOutput output;
    output.Load();
    if (!output.DetectScreenReader().isEmpty())
        GTEST_SKIP() << "a screen reader runs already";

    StandInProcess orca(dir.path(), "orca");
    ASSERT_TRUE(orca.running());
    ASSERT_TRUE(waitFor([&] { return output.DetectScreenReader() == "Orca"; }));
    EXPECT_TRUE(output.HasSpeech());
    EXPECT_TRUE(output.Output(QString::fromUtf8("Dateigröße"), false));
    EXPECT_FALSE(output.Braille("Titel:"));

    if (pulseAudioRuns()) {
        const QString text = QString("Dies ist ein langer Satz zum Testen der Sprachausgabe. ").repeated(20);
        EXPECT_TRUE(output.Speak(text, false));
        EXPECT_TRUE(waitFor([&] { return output.IsSpeaking(); }));
        EXPECT_TRUE(output.Silence());
        EXPECT_TRUE(waitFor([&] { return !output.IsSpeaking(); }));

        // Interrupting cuts the long text short.
        EXPECT_TRUE(output.Speak(text, false));
        EXPECT_TRUE(waitFor([&] { return output.IsSpeaking(); }));
        EXPECT_TRUE(output.Speak("Genre:", true));
        EXPECT_TRUE(waitFor([&] { return !output.IsSpeaking(); }));
    }

    orca.stop();
    EXPECT_TRUE(waitFor([&] { return output.DetectScreenReader().isEmpty(); }));
    EXPECT_FALSE(output.Output("Titel:", false));
}

TEST_F(OrcaWithSpeechDispatcher, SpeechDispatcherEndingIsNoticed)
{
    if (!useOwnSpeechDispatcher())
        GTEST_SKIP() << "speech-dispatcher cannot be started here";
    withoutBrltty();
    StandInProcess orca(dir.path(), uniqueOrcaName());
    TScreenReaderDriverOrca driver("Orca", true, true, TOrcaBinding::System(uniqueOrcaName()));
    ASSERT_TRUE(waitFor([&] { return driver.IsActive(); }));

    server->stop();
    EXPECT_TRUE(waitFor([&] { return !driver.IsActive(); }));
    EXPECT_FALSE(driver.Speak("Titel:", false));
    EXPECT_FALSE(driver.Silence());
}

TEST_F(OrcaWithSpeechDispatcher, WithoutServersEveryCallFailsQuietly)
{
    qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(path("none.sock")));
    withoutBrltty();
    StandInProcess orca(dir.path(), uniqueOrcaName());
    ASSERT_TRUE(orca.running());
    TScreenReaderOutput output([] {
        TScreenReaderOutput::TDriverList list = TScreenReaderOutput::SystemDrivers();
        list.back() =
            std::make_unique<TScreenReaderDriverOrca>("Orca", true, true, TOrcaBinding::System(uniqueOrcaName()));
        return list;
    });
    output.Load();

    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(output.DetectScreenReader(), "");
        EXPECT_FALSE(output.Output("Titel:", false));
        EXPECT_FALSE(output.Speak("Titel:", true));
        EXPECT_FALSE(output.Braille("Titel:"));
        EXPECT_FALSE(output.IsSpeaking());
        EXPECT_FALSE(output.Silence());
        EXPECT_FALSE(output.HasBraille());
    }
    TScreenReaderDriverOrca driver("Orca", true, true, TOrcaBinding::System(uniqueOrcaName()));
    EXPECT_FALSE(driver.IsActive());
    EXPECT_FALSE(driver.Braille("Titel:"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// An Orca that has ended but is not reaped yet (its parent is busy, or there is no init to reap
// it) must not count as running.
TEST_F(OrcaWithSpeechDispatcher, EndedOrcaNotYetReapedIsNotRunning)
{
    const QByteArray link = QFile::encodeName(path(QString::fromLatin1(uniqueOrcaName())));
    ASSERT_TRUE(QFile::link(QStandardPaths::findExecutable("sleep"), QFile::decodeName(link)));
    char seconds[] = "120";
    char *argv[] = {const_cast<char *>(link.constData()), seconds, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, link.constData(), nullptr, nullptr, argv, environ), 0);
    EXPECT_TRUE(TOrcaBinding::System(uniqueOrcaName())->OrcaRunning());

    kill(pid, SIGKILL);
    siginfo_t info{};
    // Waits for the end without reaping.
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
    EXPECT_FALSE(TOrcaBinding::System(uniqueOrcaName())->OrcaRunning());
    waitpid(pid, nullptr, 0);
}

} // namespace
