#include "decoder/mpgdecoder.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mpg123.h>
#include <mutex>

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// Buffered reads: the length scan walks every frame header, a few hundred bytes apart.
mpg123_ssize_t readFile(void *handle, void *buffer, size_t count)
{
    const size_t n = std::fread(buffer, 1, count, static_cast<FILE *>(handle));
    return n == 0 && std::ferror(static_cast<FILE *>(handle)) ? -1 : mpg123_ssize_t(n);
}

off_t seekFile(void *handle, off_t offset, int whence)
{
    FILE *file = static_cast<FILE *>(handle);
    return fseeko(file, offset, whence) == 0 ? ftello(file) : off_t(-1);
}

// Where each frame starts, in output samples at `rate`, and the total after the last, when some
// frame has another rate; empty otherwise. Walks the frame headers without decoding.
std::vector<qint64> gemischteFrames(mpg123_handle *handle, long rate)
{
    if (mpg123_seek(handle, 0, SEEK_SET) < 0)
        return {};
    const off_t frameCount = mpg123_framelength(handle);
    std::vector<double> dauer;
    bool gemischt = false;
    for (;;) {
        const int result = mpg123_framebyframe_next(handle);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break;
        mpg123_frameinfo2 info{};
        if (mpg123_info2(handle, &info) != MPG123_OK || info.rate <= 0)
            break;
        const int perFrame = info.layer == 1 ? 384 : info.layer == 2 || info.version == MPG123_1_0 ? 1152 : 576;
        dauer.push_back(double(perFrame) * double(rate) / double(info.rate));
        gemischt = gemischt || info.rate != rate;
    }
    if (!gemischt)
        return {};
    // Seeking to the start has already read the first frame(s), at the first rate.
    if (frameCount > off_t(dauer.size()))
        dauer.insert(dauer.begin(), size_t(frameCount - off_t(dauer.size())), dauer.front());
    std::vector<qint64> starts;
    starts.reserve(dauer.size() + 1);
    long double summe = 0;
    starts.push_back(0);
    for (const double d : dauer) {
        summe += d;
        starts.push_back(qint64(std::nearbyint(summe)));
    }
    return starts;
}

} // namespace

TMpgDecoder::TMpgDecoder() = default;

TMpgDecoder::~TMpgDecoder()
{
    close();
}

void TMpgDecoder::close()
{
    if (handle) {
        mpg123_close(handle);
        mpg123_delete(handle);
        handle = nullptr;
    }
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    sampleRate = 0;
    length = 0;
    frameStarts.clear();
    ended = false;
}

TMpgDecoder::OpenResult TMpgDecoder::open(const QString &fileName)
{
    close();
    initLibrary();
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists())
        return OpenResult::NoFile;
    if (!info.isFile())
        return OpenResult::CannotRead;

    // Read-only and without locks: the window copies the working copy while it is loaded.
    file = std::fopen(QFile::encodeName(info.absoluteFilePath()).constData(), "rbe");
    if (!file)
        return OpenResult::CannotRead;
    std::setvbuf(file, nullptr, _IOFBF, 128 * 1024);

    int err = MPG123_OK;
    handle = mpg123_new(nullptr, &err);
    if (!handle) {
        close();
        return OpenResult::CannotRead;
    }
    // No gapless trimming: positions map linearly onto the bytes of every frame, as cutting
    // assumes. Mono is doubled so the left and right volume both apply.
    mpg123_param(handle, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_AUTO_RESAMPLE, 0.0);
    // Pieces begin inside a frame; allow for more than one frame of leading bytes.
    mpg123_param(handle, MPG123_RESYNC_LIMIT, 16384, 0.0);
    mpg123_format_none(handle);
    const long *rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_replace_reader_handle(handle, readFile, seekFile, nullptr) != MPG123_OK
        || mpg123_open_handle(handle, file) != MPG123_OK) {
        close();
        return OpenResult::NoAudio;
    }
    long rate = 0;
    int channelCount = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channelCount, &encoding) != MPG123_OK || rate <= 0) {
        close();
        return OpenResult::NoAudio;
    }
    // Later frames of another rate (joined files) are resampled to the first one.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_scan(handle) != MPG123_OK) {
        close();
        return OpenResult::NoAudio;
    }
    qint64 samples = mpg123_length(handle);
    // Joined files may change their sample rate; mpg123 counts and seeks every frame as if it
    // had the first.
    frameStarts = gemischteFrames(handle, rate);
    if (!frameStarts.empty())
        samples = frameStarts.back();
    if (samples <= 0) {
        close();
        return OpenResult::NoAudio;
    }
    sampleRate = rate;
    length = samples;
    if (mpg123_seek(handle, 0, SEEK_SET) < 0) {
        close();
        return OpenResult::NoAudio;
    }
    return OpenResult::Ok;
}

qint64 TMpgDecoder::read(char *buffer, qint64 maxBytes)
{
    if (!handle || ended)
        return 0;
    qint64 total = 0;
    int idle = 0;
    maxBytes -= maxBytes % bytesPerFrame;
    while (total < maxBytes) {
        size_t done = 0;
        const int result = mpg123_read(handle, reinterpret_cast<unsigned char *>(buffer + total),
                                       size_t(maxBytes - total), &done);
        total += qint64(done);
        const bool goesOn = result == MPG123_OK || result == MPG123_NEW_FORMAT || result == MPG123_NEED_MORE;
        idle = done > 0 ? 0 : idle + 1;
        // MPG123_DONE, or a damaged end that cannot be decoded any further.
        if (!goesOn || idle > 8) {
            ended = true;
            break;
        }
    }
    return total - total % bytesPerFrame;
}

bool TMpgDecoder::seek(qint64 sample)
{
    if (!handle)
        return false;
    ended = false;
    sample = qBound<qint64>(0, sample, length);
    if (frameStarts.empty())
        return mpg123_seek(handle, off_t(sample), SEEK_SET) >= 0;
    const auto next = std::upper_bound(frameStarts.begin(), frameStarts.end() - 1, sample);
    const auto frame = qMax<qint64>(0, (next - frameStarts.begin()) - 1);
    if (mpg123_seek_frame(handle, off_t(frame), SEEK_SET) < 0)
        return false;
    // The rest of the way inside the frame is decoded and dropped.
    char scratch[16384];
    for (qint64 skip = (sample - frameStarts[size_t(frame)]) * bytesPerFrame; skip > 0;) {
        const qint64 n = read(scratch, qMin<qint64>(skip, sizeof scratch));
        if (n <= 0)
            break;
        skip -= n;
    }
    return true;
}

qint64 TMpgDecoder::samplesToMs(qint64 samples) const
{
    return sampleRate > 0 ? samples * 1000 / sampleRate : 0;
}

qint64 TMpgDecoder::msToSamples(qint64 ms) const
{
    // Rounded up, so that the position set is the one read back.
    return ms <= 0 ? 0 : (ms * sampleRate + 999) / 1000;
}
