#include "screenreaderdriverorca.h"

#include <QTimer>

#include <brlapi.h>
#include <libspeechd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// Messages of each of our speech-dispatcher clients that began and have not ended yet. The
// notifications arrive on libspeechd's own thread and carry no user data, only the client id.
struct TSpeakingMessages {
    std::mutex Lock;
    std::map<size_t, std::set<size_t>> ByClient;
};

TSpeakingMessages &speakingMessages()
{
    static TSpeakingMessages messages;
    return messages;
}

void onSpeechEvent(size_t AMsgId, size_t AClientId, SPDNotificationType AType)
{
    auto &messages = speakingMessages();
    std::lock_guard guard(messages.Lock);
    const auto client = messages.ByClient.find(AClientId);
    if (client == messages.ByClient.end())
        return;
    if (AType == SPD_EVENT_BEGIN)
        client->second.insert(AMsgId);
    else
        client->second.erase(AMsgId);
}

bool unixSocketListens(const char *APath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (!APath || std::strlen(APath) >= sizeof address.sun_path)
        return false;
    std::strcpy(address.sun_path, APath);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool listens = connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return listens;
}

// Reads /proc/<pid>/stat ("pid (name) state ...") of a process of this user; a process that has
// ended but is not yet reaped does not count.
bool isOrcaProcess(int APid, const QByteArray &AName)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d", APid);
    struct stat info;
    if (stat(path, &info) != 0 || info.st_uid != geteuid())
        return false;
    std::strncat(path, "/stat", sizeof path - std::strlen(path) - 1);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char line[128];
    const ssize_t n = read(fd, line, sizeof line - 1);
    close(fd);
    if (n <= 0)
        return false;
    line[n] = '\0';
    const char *nameStart = std::strchr(line, '(');
    const char *nameEnd = std::strrchr(line, ')');
    if (!nameStart || !nameEnd || nameEnd < nameStart || nameEnd[1] != ' ')
        return false;
    const char state = nameEnd[2];
    return nameEnd - nameStart - 1 == AName.size() &&
           std::memcmp(nameStart + 1, AName.constData(), AName.size()) == 0 && state != 'Z' && state != 'X';
}

int findOrcaProcess(const QByteArray &AComm)
{
    DIR *proc = opendir("/proc");
    if (!proc)
        return 0;
    int found = 0;
    while (const dirent *entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid > 0 && isOrcaProcess(pid, AComm)) {
            found = pid;
            break;
        }
    }
    closedir(proc);
    return found;
}

// Watching a known process is cheap; searching the whole process list takes milliseconds, so
// after the first answer the search runs on a thread of its own, only when asked.
class TProcessWatch {
public:
    explicit TProcessWatch(const QByteArray &AProcessName) : FName(AProcessName) {}
    ~TProcessWatch()
    {
        if (!FThread.joinable())
            return;
        {
            std::lock_guard guard(FLock);
            FStop = true;
        }
        FWake.notify_one();
        FThread.join();
    }

    bool Running()
    {
        int pid = FPid.load();
        if (pid > 0 && isOrcaProcess(pid, FName))
            return true;
        if (!FSearched) {
            FSearched = true;
            FPid = findOrcaProcess(FName);
            return FPid.load() > 0;
        }
        // Keeps a process the search has just found.
        FPid.compare_exchange_strong(pid, 0);
        RequestSearch();
        return false;
    }

private:
    void RequestSearch()
    {
        if (!FThread.joinable())
            FThread = std::thread([this] { Search(); });
        {
            std::lock_guard guard(FLock);
            FRequested = true;
        }
        FWake.notify_one();
    }

    void Search()
    {
        std::unique_lock lock(FLock);
        for (;;) {
            FWake.wait(lock, [this] { return FRequested || FStop; });
            if (FStop)
                return;
            FRequested = false;
            lock.unlock();
            const int pid = findOrcaProcess(FName);
            lock.lock();
            if (pid > 0)
                FPid = pid;
        }
    }

    const QByteArray FName;
    std::atomic<int> FPid{0};
    bool FSearched = false;
    std::mutex FLock;
    std::condition_variable FWake;
    bool FRequested = false;
    bool FStop = false;
    std::thread FThread;
};

class TSystemOrcaBinding final : public TOrcaBinding {
public:
    explicit TSystemOrcaBinding(const QByteArray &AProcessName) : FOrca(AProcessName)
    {
        FBrailleTimer.setSingleShot(true);
        FBrailleTimer.callOnTimeout([this] { LeaveTty(); });
    }
    ~TSystemOrcaBinding() override
    {
        SpeechDisconnect();
        BrailleDisconnect();
    }

    qint64 NowMs() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    bool OrcaRunning() override { return FOrca.Running(); }

    bool SpeechConnect() override
    {
        if (FSpeech)
            return true;
        char *error = nullptr;
        SPDConnectionAddress *address = spd_get_default_address(&error);
        std::free(error);
        if (!address)
            return false;
        // A failed spd_open2 leaks memory, so a socket nobody listens on is not handed to it.
        if (address->method == SPD_METHOD_UNIX_SOCKET && !unixSocketListens(address->unix_socket_name)) {
            SPDConnectionAddress__free(address);
            return false;
        }
        error = nullptr;
        FSpeech = spd_open2("zindara", "main", nullptr, SPD_MODE_THREADED, address, 0, &error);
        std::free(error);
        SPDConnectionAddress__free(address);
        if (!FSpeech)
            return false;
        // Without the client id speech works, only IsSpeaking stays false.
        const int client = spd_get_client_id(FSpeech);
        FClientId = client < 0 ? std::nullopt : std::optional<size_t>(client);
        if (FClientId) {
            auto &messages = speakingMessages();
            std::lock_guard guard(messages.Lock);
            messages.ByClient[*FClientId].clear();
        }
        FSpeech->callback_begin = onSpeechEvent;
        FSpeech->callback_end = onSpeechEvent;
        FSpeech->callback_cancel = onSpeechEvent;
        spd_set_notification_on(FSpeech, SPD_BEGIN);
        spd_set_notification_on(FSpeech, SPD_END);
        spd_set_notification_on(FSpeech, SPD_CANCEL);
        // The program's texts are German.
        spd_set_language(FSpeech, "de");
        return true;
    }

    bool SpeechAlive() override
    {
        if (!FSpeech)
            return false;
        pollfd fd{FSpeech->socket, POLLRDHUP, 0};
        return poll(&fd, 1, 0) == 0;
    }

    void SpeechDisconnect() override
    {
        if (!FSpeech)
            return;
        spd_close(FSpeech);
        FSpeech = nullptr;
        if (!FClientId)
            return;
        auto &messages = speakingMessages();
        std::lock_guard guard(messages.Lock);
        messages.ByClient.erase(*FClientId);
        FClientId.reset();
    }

    bool SpeechSay(const QString &AText) override
    {
        return FSpeech && spd_say(FSpeech, SPD_MESSAGE, AText.toUtf8().constData()) >= 0;
    }

    bool SpeechCancel() override { return FSpeech && spd_cancel(FSpeech) == 0; }

    bool SpeechBusy() override
    {
        if (!FSpeech || !FClientId)
            return false;
        auto &messages = speakingMessages();
        std::lock_guard guard(messages.Lock);
        const auto client = messages.ByClient.find(*FClientId);
        return client != messages.ByClient.end() && !client->second.empty();
    }

    bool BrailleConnect() override
    {
        if (FBraille)
            return true;
        FBraille = std::make_unique<unsigned char[]>(brlapi_getHandleSize());
        auto *handle = Handle();
        // The default handler prints, and may end the program, on errors the server reports.
        brlapi__setExceptionHandler(handle, [](brlapi_handle_t *, int, brlapi_packetType_t, const void *, size_t) {});
        if (brlapi__openConnection(handle, nullptr, nullptr) < 0) {
            FBraille.reset();
            return false;
        }
        return true;
    }

    void BrailleDisconnect() override
    {
        if (!FBraille)
            return;
        FBrailleTimer.stop();
        LeaveTty();
        brlapi__closeConnection(Handle());
        FBraille.reset();
    }

    bool BrailleWrite(const QString &AText) override
    {
        if (!FBraille)
            return false;
        if (!FInTty) {
            if (brlapi__enterTtyMode(Handle(), BRLAPI_TTY_DEFAULT, nullptr) < 0)
                return false;
            FInTty = true;
        }
        const std::wstring text = AText.toStdWString();
        if (brlapi__writeWText(Handle(), BRLAPI_CURSOR_OFF, text.c_str()) < 0)
            return false;
        // Like a flash message: the display goes back to Orca after a while.
        FBrailleTimer.start(BrailleMessageMs);
        return true;
    }

private:
    static constexpr int BrailleMessageMs = 4000;

    brlapi_handle_t *Handle() { return reinterpret_cast<brlapi_handle_t *>(FBraille.get()); }

    void LeaveTty()
    {
        if (FBraille && FInTty)
            brlapi__leaveTtyMode(Handle());
        FInTty = false;
    }

    TProcessWatch FOrca;
    SPDConnection *FSpeech = nullptr;
    std::optional<size_t> FClientId;
    std::unique_ptr<unsigned char[]> FBraille;
    bool FInTty = false;
    QTimer FBrailleTimer;
};

} // namespace

std::unique_ptr<TOrcaBinding> TOrcaBinding::System(const QByteArray &AProcessName)
{
    return std::make_unique<TSystemOrcaBinding>(AProcessName);
}

TScreenReaderDriverOrca::TScreenReaderDriverOrca(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                                                 std::unique_ptr<TOrcaBinding> ABinding)
    : TScreenReaderDriver(AScreenReaderName, ASpeech, ABraille), FBinding(std::move(ABinding))
{
}

TScreenReaderDriverOrca::~TScreenReaderDriverOrca()
{
    Disconnect();
}

bool TScreenReaderDriverOrca::RetryDue(qint64 ATriedAt, qint64 ANow) const
{
    return ATriedAt == Never || ANow - ATriedAt >= RetryMs;
}

void TScreenReaderDriverOrca::Disconnect()
{
    if (FSpeechOpen)
        FBinding->SpeechDisconnect();
    if (FBrailleOpen)
        FBinding->BrailleDisconnect();
    FSpeechOpen = FBrailleOpen = false;
    FSpeechTriedAt = FBrailleTriedAt = Never;
}

bool TScreenReaderDriverOrca::IsActive()
{
    if (!FBinding)
        return false;
    const qint64 now = FBinding->NowMs();
    if (FOrcaCheckedAt == Never || now - FOrcaCheckedAt >= ProcessCheckMs) {
        FOrcaRunning = FBinding->OrcaRunning();
        FOrcaCheckedAt = now;
    }
    if (!FOrcaRunning) {
        Disconnect();
        return false;
    }
    if (FSpeechOpen && !FBinding->SpeechAlive()) {
        FBinding->SpeechDisconnect();
        FSpeechOpen = false;
        FSpeechTriedAt = now;
    }
    if (!FSpeechOpen && RetryDue(FSpeechTriedAt, now)) {
        FSpeechTriedAt = now;
        FSpeechOpen = FBinding->SpeechConnect();
    }
    return FSpeechOpen;
}

bool TScreenReaderDriverOrca::Speak(const QString &S, bool Interrupt)
{
    if (S.isEmpty() || !FSpeechOpen)
        return false;
    if (Interrupt && !Silence())
        return false;
    return FBinding->SpeechSay(S);
}

bool TScreenReaderDriverOrca::Braille(const QString &S)
{
    // BRLTTY serves more than Orca: write only while Orca is the one found running.
    if (S.isEmpty() || !FOrcaRunning)
        return false;
    const qint64 now = FBinding->NowMs();
    if (!FBrailleOpen && RetryDue(FBrailleTriedAt, now)) {
        FBrailleTriedAt = now;
        FBrailleOpen = FBinding->BrailleConnect();
    }
    if (!FBrailleOpen)
        return false;
    if (FBinding->BrailleWrite(S))
        return true;
    // BRLTTY went away or refused the display: ask again after the retry pause.
    FBinding->BrailleDisconnect();
    FBrailleOpen = false;
    FBrailleTriedAt = now;
    return false;
}

bool TScreenReaderDriverOrca::Silence()
{
    return FSpeechOpen && FBinding->SpeechCancel();
}

bool TScreenReaderDriverOrca::IsSpeaking()
{
    return FSpeechOpen && FBinding->SpeechBusy();
}
