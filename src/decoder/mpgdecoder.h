#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

struct mpg123_handle_struct;
struct TMpgQuelle;

// One MP3 file decoded by libmpg123 into interleaved signed 16-bit stereo at the sample rate of
// its first frame. The player and Mp3LaengeMs both go through here, so their lengths agree.
class TMpgDecoder {
public:
    enum class OpenResult { Ok, NoFile, CannotRead, NoAudio };

    TMpgDecoder();
    ~TMpgDecoder();
    TMpgDecoder(const TMpgDecoder &) = delete;
    TMpgDecoder &operator=(const TMpgDecoder &) = delete;

    // Opens the file read-only and scans it whole for its exact length.
    OpenResult open(const QString &fileName);
    // The same for the `count` bytes from `start` on: what a file holding only them would give.
    OpenResult open(const QString &fileName, qint64 start, qint64 count);
    void close();
    bool isOpen() const { return handle != nullptr; }
    // Reads on from `fileName`, a file that holds exactly the bytes opened (the stretch given to
    // open), without scanning them again. False when its size is not the stretch's or it cannot
    // be read; the decoder is then closed.
    bool switchFile(const QString &fileName);

    long rate() const { return sampleRate; }
    static constexpr int channels = 2;
    static constexpr int bytesPerFrame = channels * 2;

    // Length in samples per channel.
    qint64 lengthSamples() const { return length; }
    // Decodes up to `maxBytes` (a multiple of bytesPerFrame) into `buffer`; 0 at the end.
    qint64 read(char *buffer, qint64 maxBytes);
    bool atEnd() const { return ended; }
    // Moves the decoding position to `sample`; the next read starts there.
    bool seek(qint64 sample);

    qint64 samplesToMs(qint64 samples) const;
    qint64 msToSamples(qint64 ms) const;

private:
    // A run of frames of one duration in output samples, from frame `frame` on.
    struct Stretch {
        qint64 frame = 0;
        long double start = 0;
        double duration = 0;
    };

    qint64 frameStart(size_t stretch, qint64 frame) const;

    mpg123_handle_struct *handle = nullptr;
    std::unique_ptr<TMpgQuelle> source;
    long sampleRate = 0;
    qint64 length = 0;
    // Only for files whose frames change their sample rate; otherwise empty.
    std::vector<Stretch> stretches;
    qint64 frameCount = 0;
    bool ended = false;
};
