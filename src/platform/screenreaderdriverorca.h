#pragma once

#include "screenreaderdriver.h"

#include <QByteArray>
#include <memory>

// What Orca needs from the system: the Orca process, speech-dispatcher for speech and BrlAPI
// (BRLTTY) for braille. Connecting never starts a server.
class TOrcaBinding {
public:
    virtual ~TOrcaBinding() = default;

    // A steady clock in milliseconds.
    virtual qint64 NowMs() = 0;
    // An Orca process of this user runs.
    virtual bool OrcaRunning() = 0;

    virtual bool SpeechConnect() = 0;
    // Cheap: the open connection has not been closed by the server.
    virtual bool SpeechAlive() = 0;
    virtual void SpeechDisconnect() = 0;
    // Queued behind speech in progress.
    virtual bool SpeechSay(const QString &AText) = 0;
    virtual bool SpeechCancel() = 0;
    virtual bool SpeechBusy() = 0;

    virtual bool BrailleConnect() = 0;
    virtual void BrailleDisconnect() = 0;
    virtual bool BrailleWrite(const QString &AText) = 0;

    // AProcessName: the name the kernel gives Orca's process.
    static std::unique_ptr<TOrcaBinding> System(const QByteArray &AProcessName = "orca");
};

class TScreenReaderDriverOrca : public TScreenReaderDriver {
public:
    // Detection runs at every focus change: the process list is read at most this often, and a
    // server that did not answer is asked again only after the retry pause.
    static constexpr qint64 ProcessCheckMs = 500;
    static constexpr qint64 RetryMs = 2000;

    TScreenReaderDriverOrca(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                            std::unique_ptr<TOrcaBinding> ABinding = TOrcaBinding::System());
    ~TScreenReaderDriverOrca() override;

    bool Speak(const QString &S, bool Interrupt) override;
    bool Braille(const QString &S) override;
    bool IsSpeaking() override;
    bool Silence() override;
    bool IsActive() override;

private:
    static constexpr qint64 Never = -1;

    bool RetryDue(qint64 ATriedAt, qint64 ANow) const;
    void Disconnect();

    std::unique_ptr<TOrcaBinding> FBinding;
    bool FOrcaRunning = false;
    qint64 FOrcaCheckedAt = Never;
    bool FSpeechOpen = false;
    qint64 FSpeechTriedAt = Never;
    bool FBrailleOpen = false;
    qint64 FBrailleTriedAt = Never;
};
