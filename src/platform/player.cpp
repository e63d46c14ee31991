#include "platform/player.h"

#include "decoder/mp3length.h"
#include "decoder/mpgdecoder.h"
#include "platform/volume.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>

// Decoded samples for the audio sink, pulled as it needs them.
class TPcmQuelle : public QIODevice {
public:
    TPcmQuelle(TMpgDecoder *decoder, QObject *parent) : QIODevice(parent), decoder(decoder) {}

    // The sink may outlive the decoder by a moment after stopping.
    void abkoppeln() { decoder = nullptr; }
    bool fertig() const { return !decoder || decoder->atEnd(); }
    qint64 geliefert() const { return samples; }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return fertig(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (!decoder)
            return 0;
        const qint64 bytes = decoder->read(data, maxSize);
        const qint64 frames = bytes / TMpgDecoder::bytesPerFrame;
        LautstaerkeAnwenden(data, frames);
        samples += frames;
        return bytes;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    TMpgDecoder *decoder;
    qint64 samples = 0;
};

EMCIDeviceError::EMCIDeviceError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EMCIDeviceError::message() const
{
    return QString::fromUtf8(what());
}

TMediaPlayer::TMediaPlayer(QObject *parent) : QObject(parent)
{
    ueberwachung.setInterval(20);
    connect(&ueberwachung, &QTimer::timeout, this, &TMediaPlayer::pruefen);
}

TMediaPlayer::~TMediaPlayer()
{
    // Deleting a sink runs pending events; none of them may reach this half-gone player.
    QCoreApplication::removePostedEvents(this);
    ueberwachung.stop();
    sinkFreigeben(true);
}

bool TMediaPlayer::nimmNotify(bool standard)
{
    const bool result = fNotifyGesetzt ? fNotify : standard;
    fNotify = false;
    fNotifyGesetzt = false;
    return result;
}

void TMediaPlayer::setNotify(bool on)
{
    fNotify = on;
    fNotifyGesetzt = true;
}

void TMediaPlayer::melde(TMPNotifyValues value)
{
    QMetaObject::invokeMethod(
        this,
        [this, value] {
            fNotifyValue = value;
            emit OnNotify();
        },
        Qt::QueuedConnection);
}

void TMediaPlayer::spielBeenden(TMPNotifyValues value)
{
    if (fSpielNotify) {
        fSpielNotify = false;
        melde(value);
    }
}

void TMediaPlayer::sinkFreigeben(bool sofort)
{
    ueberwachung.stop();
    if (quelle)
        quelle->abkoppeln();
    if (sink) {
        disconnect(sink, nullptr, this, nullptr);
        sink->stop();
        // Not deleted at once: this may run inside one of the sink's own signals, and its
        // destructor handles pending events.
        if (sofort)
            delete sink.data();
        else
            sink->deleteLater();
    }
    sink = nullptr;
    quelle = nullptr;
}

void TMediaPlayer::Open()
{
    Open(nullptr);
}

void TMediaPlayer::Open(std::unique_ptr<TMpgDecoder> bereit)
{
    const bool notify = nimmNotify(false);
    sinkFreigeben(false);
    spielBeenden(TMPNotifyValues::nvAborted);
    decoder.reset();
    fMode = TMPModes::mpNotReady;
    startSample = standSample = 0;

    QString fehler;
    if (bereit && bereit->isOpen()) {
        decoder = std::move(bereit);
    } else if (fFileName.isEmpty()) {
        fehler = QStringLiteral("Es ist keine Datei zum Abspielen angegeben.");
    } else {
        auto neu = std::make_unique<TMpgDecoder>();
        switch (neu->open(fFileName)) {
        case TMpgDecoder::OpenResult::Ok:
            decoder = std::move(neu);
            break;
        case TMpgDecoder::OpenResult::NoFile:
            fehler = QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(fFileName);
            break;
        case TMpgDecoder::OpenResult::CannotRead:
            fehler = QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(fFileName);
            break;
        case TMpgDecoder::OpenResult::NoAudio:
            fehler = QStringLiteral("Die Datei \"%1\" enthält keine abspielbaren MPEG-Audiodaten.").arg(fFileName);
            break;
        }
    }
    if (!decoder) {
        if (notify)
            melde(TMPNotifyValues::nvFailure);
        throw EMCIDeviceError(fehler);
    }
    fMode = TMPModes::mpStopped;
    if (notify)
        melde(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::Close()
{
    const bool notify = nimmNotify(false);
    const bool warOffen = decoder != nullptr;
    sinkFreigeben(false);
    spielBeenden(TMPNotifyValues::nvAborted);
    decoder.reset();
    fMode = TMPModes::mpNotReady;
    startSample = standSample = 0;
    if (notify && warOffen)
        melde(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::startAb(qint64 sample, bool notify)
{
    sinkFreigeben(false);
    decoder->seek(sample);
    startSample = standSample = sample;
    fMode = TMPModes::mpStopped;

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        QAudioFormat format;
        format.setSampleRate(int(decoder->rate()));
        format.setChannelCount(TMpgDecoder::channels);
        format.setSampleFormat(QAudioFormat::Int16);
        sink = new QAudioSink(device, format);
        quelle = new TPcmQuelle(decoder.get(), sink);
        quelle->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        connect(sink, &QAudioSink::stateChanged, this, &TMediaPlayer::pruefen);
        sink->start(quelle);
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState)
            sinkFreigeben(false);
    }
    if (!sink) {
        // No sound server or no output: the play ends at once, stopped where it was asked to start.
        if (notify)
            melde(TMPNotifyValues::nvFailure);
        return;
    }
    fMode = TMPModes::mpPlaying;
    fSpielNotify = notify;
    seitEnde.invalidate();
    ueberwachung.start();
}

void TMediaPlayer::Play()
{
    const bool notify = nimmNotify(true);
    if (!decoder)
        return;
    if (fMode == TMPModes::mpPlaying) {
        spielBeenden(TMPNotifyValues::nvSuperseded);
        fSpielNotify = notify;
        return;
    }
    qint64 sample = standSample;
    if (sample >= decoder->lengthSamples())
        sample = 0;
    startAb(sample, notify);
}

void TMediaPlayer::Pause()
{
    if (fMode == TMPModes::mpPaused) {
        Play();
        return;
    }
    const bool notify = nimmNotify(false);
    if (fMode != TMPModes::mpPlaying)
        return;
    anhalten();
    fMode = TMPModes::mpPaused;
    spielBeenden(TMPNotifyValues::nvSuperseded);
    if (notify)
        melde(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::Stop()
{
    const bool notify = nimmNotify(false);
    if (!decoder)
        return;
    if (fMode == TMPModes::mpPlaying)
        anhalten();
    fMode = TMPModes::mpStopped;
    spielBeenden(TMPNotifyValues::nvAborted);
    if (notify)
        melde(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::anhalten()
{
    standSample = startSample + gehoert();
    sinkFreigeben(false);
}

qint64 TMediaPlayer::gehoert() const
{
    if (!sink || !quelle)
        return 0;
    const qint64 gespielt = sink->processedUSecs() * decoder->rate() / 1000000;
    return qBound<qint64>(0, gespielt, quelle->geliefert());
}

qint64 TMediaPlayer::Position() const
{
    if (!decoder)
        return 0;
    const qint64 sample = fMode == TMPModes::mpPlaying ? startSample + gehoert() : standSample;
    return decoder->samplesToMs(qMin(sample, decoder->lengthSamples()));
}

void TMediaPlayer::setPosition(qint64 ms)
{
    const bool notify = nimmNotify(false);
    if (!decoder)
        return;
    if (fMode == TMPModes::mpPlaying) {
        sinkFreigeben(false);
        fMode = TMPModes::mpStopped;
        spielBeenden(TMPNotifyValues::nvAborted);
    }
    // The length in milliseconds is the end, even where a fraction of a millisecond is left:
    // Play there starts over instead of playing that fraction.
    standSample = ms >= Length() ? decoder->lengthSamples()
                                 : qMin(decoder->msToSamples(qMax<qint64>(ms, 0)), decoder->lengthSamples());
    if (notify)
        melde(TMPNotifyValues::nvSuccessful);
}

qint64 TMediaPlayer::Length() const
{
    return decoder ? Mp3LaengeMs(*decoder) : 0;
}

TMPModes TMediaPlayer::Mode() const
{
    return fMode;
}

void TMediaPlayer::pruefen()
{
    if (fMode != TMPModes::mpPlaying || !sink || !quelle)
        return;
    if (sink->state() == QAudio::StoppedState && sink->error() != QAudio::NoError) {
        // The sound server went away.
        anhalten();
        fMode = TMPModes::mpStopped;
        spielBeenden(TMPNotifyValues::nvFailure);
        return;
    }
    if (!quelle->fertig())
        return;
    if (!seitEnde.isValid())
        seitEnde.start();
    // The sink's clock is in microseconds: a sample or two may never show as played.
    const qint64 rest = quelle->geliefert() - gehoert();
    // A server that stops consuming must not hold the player in "playing" for ever.
    const qint64 frist = decoder->samplesToMs(quelle->geliefert()) + 2000;
    if (rest > decoder->rate() / 500 && seitEnde.elapsed() < frist)
        return;
    sinkFreigeben(false);
    standSample = decoder->lengthSamples();
    fMode = TMPModes::mpStopped;
    spielBeenden(TMPNotifyValues::nvSuccessful);
}
