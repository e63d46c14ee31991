#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>
#include <stdexcept>

class QAudioSink;
class TMpgDecoder;
class TPcmQuelle;

enum class TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum class TMPTimeFormats { tfMilliseconds };
// How the last notified command ended.
enum class TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// Raised by TMediaPlayer::Open; the message is German and names the file.
class EMCIDeviceError : public std::runtime_error {
public:
    explicit EMCIDeviceError(const QString &message);
    QString message() const;
};

// Plays one MP3 file: libmpg123 decodes, QAudioSink plays through the sound server. Positions
// and lengths are milliseconds; the position is what the listener has heard. Without a sound
// server the file still opens and Play ends stopped at once.
class TMediaPlayer : public QObject {
    Q_OBJECT
public:
    explicit TMediaPlayer(QObject *parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName() const { return fFileName; }
    void setFileName(const QString &name) { fFileName = name; }

    // Opens FileName read-only (others may read and write it) and scans its length.
    // Raises EMCIDeviceError when it is missing, unreadable or holds no MPEG audio.
    void Open();
    // The same with FileName already opened and scanned by `bereit` (when it is not null).
    void Open(std::unique_ptr<TMpgDecoder> bereit);
    void Close();

    TMPTimeFormats TimeFormat() const { return fTimeFormat; }
    void setTimeFormat(TMPTimeFormats format) { fTimeFormat = format; }

    // From the current position, from the start when at the end; returns at once.
    void Play();
    // Playing becomes paused, paused plays on.
    void Pause();
    // The position stays.
    void Stop();

    qint64 Position() const;
    // Moves there; playing stops, paused stays paused.
    void setPosition(qint64 ms);
    qint64 Length() const;
    TMPModes Mode() const;

    // For the next command only: whether its completion raises OnNotify. Play asks for it
    // unless it was set false.
    bool Notify() const { return fNotify; }
    void setNotify(bool on);
    TMPNotifyValues NotifyValue() const { return fNotifyValue; }

signals:
    // Queued to the main thread: a command that asked for it has completed (play reached the
    // end or was stopped, paused or replaced; open finished).
    void OnNotify();

private:
    bool nimmNotify(bool standard);
    void melde(TMPNotifyValues value);
    void spielBeenden(TMPNotifyValues value);
    void startAb(qint64 sample, bool notify);
    void sinkFreigeben(bool sofort);
    // Ends the running playback where the listener is.
    void anhalten();
    qint64 gehoert() const;
    void pruefen();

    QString fFileName;
    TMPTimeFormats fTimeFormat = TMPTimeFormats::tfMilliseconds;
    TMPModes fMode = TMPModes::mpNotReady;
    bool fNotify = false;
    bool fNotifyGesetzt = false;
    bool fSpielNotify = false;
    TMPNotifyValues fNotifyValue = TMPNotifyValues::nvSuccessful;

    std::unique_ptr<TMpgDecoder> decoder;
    QPointer<QAudioSink> sink;
    QPointer<TPcmQuelle> quelle;
    // Sample where the running playback started, and the position while not playing.
    qint64 startSample = 0;
    qint64 standSample = 0;
    QTimer ueberwachung;
    QElapsedTimer seitEnde;
};
