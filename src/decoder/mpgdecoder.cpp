#include "decoder/mpgdecoder.h"

#include "audio/mpeginfo.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mpg123.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

// The file as mpg123 reads it: through a buffer of its own, and, for a stretch of a file, with
// positions counted from the stretch's start and an end where the stretch ends.
struct TMpgQuelle {
    static constexpr size_t Puffer = 128 * 1024;

    FILE *file = nullptr;
    qint64 start = 0;
    qint64 end = -1; // -1: the file's own end
    // glibc ignores the size given to setvbuf without a buffer.
    std::unique_ptr<char[]> buffer = std::make_unique<char[]>(Puffer);

    ~TMpgQuelle()
    {
        if (file)
            std::fclose(file);
    }
};

namespace {

mpg123_ssize_t readFile(void *handle, void *buffer, size_t count)
{
    auto *q = static_cast<TMpgQuelle *>(handle);
    if (q->end >= 0) {
        const qint64 left = q->end - qint64(ftello(q->file));
        count = left <= 0 ? 0 : size_t(qMin<qint64>(qint64(count), left));
        if (count == 0)
            return 0;
    }
    const size_t n = std::fread(buffer, 1, count, q->file);
    return n == 0 && std::ferror(q->file) ? -1 : mpg123_ssize_t(n);
}

off_t seekFile(void *handle, off_t offset, int whence)
{
    auto *q = static_cast<TMpgQuelle *>(handle);
    int ok = 0;
    if (whence == SEEK_SET)
        ok = fseeko(q->file, off_t(q->start) + offset, SEEK_SET);
    else if (whence == SEEK_END && q->end >= 0)
        ok = fseeko(q->file, off_t(q->end) + offset, SEEK_SET);
    else
        ok = fseeko(q->file, offset, whence);
    const off_t pos = ok == 0 ? ftello(q->file) : off_t(-1);
    return pos < off_t(q->start) ? off_t(-1) : pos - off_t(q->start);
}

// Output samples of one frame, at the output rate.
double frameDuration(const mpg123_frameinfo2 &info, long rate)
{
    const int perFrame = info.layer == 1 ? 384 : info.layer == 2 || info.version == MPG123_1_0 ? 1152 : 576;
    return double(perFrame) * double(rate) / double(info.rate);
}

// A Layer III frame header: its bytes, samples and rate; bytes 0 for anything else, also for
// the rare forms mpg123 may treat in its own way (free format, reserved emphasis).
struct Layer3Header {
    int bytes = 0;
    int samples = 0;
    long rate = 0;
};

Layer3Header layer3Header(const unsigned char *h)
{
    const TFrameHeaderRec f = TMpegInfo::ParseFrameHeader(h, 0);
    if (!f.valid || f.layer != 3 || f.bitrate == 0 || f.emphasis == 2)
        return {};
    return {f.framelength, f.version == 1 ? 1152 : 576, f.samplerate};
}

// The common file: Layer III frames of one rate, each right after the one before, from byte
// `first` of the stream to its very end. Walked here, a thousand times faster than frame by
// frame through mpg123, which counts them the same. Returns the frames and their samples, and
// the offsets of every `step`th frame for mpg123's seeking (at most 2048 of them); frames -1 when
// the file is not that regular and mpg123 must walk it.
struct RegularRun {
    qint64 frames = -1;
    qint64 samples = 0;
    std::vector<off_t> index;
    off_t step = 1;
};

RegularRun regularRun(const TMpgQuelle &q, qint64 first, long rate)
{
    RegularRun run;
    const int fd = fileno(q.file);
    qint64 end = q.end;
    struct stat st{};
    if (end < 0) {
        if (fstat(fd, &st) != 0)
            return run;
        end = st.st_size;
    }
    const qint64 size = end - q.start;
    std::vector<unsigned char> buffer(TMpgQuelle::Puffer);
    qint64 bufferStart = 0;
    qint64 bufferLength = 0;
    qint64 frames = 0;
    qint64 samples = 0;
    qint64 p = first;
    while (p < size) {
        if (p + 4 > bufferStart + bufferLength) {
            const ssize_t n = ::pread(fd, buffer.data(), qMin<qint64>(qint64(buffer.size()), size - p), off_t(q.start + p));
            if (n < 4)
                return run;
            bufferStart = p;
            bufferLength = n;
        }
        const Layer3Header h = layer3Header(buffer.data() + (p - bufferStart));
        if (h.bytes <= 4 || h.rate != rate)
            return run;
        if (frames % run.step == 0) {
            run.index.push_back(off_t(p));
            if (run.index.size() >= 2048) {
                for (size_t i = 0; 2 * i < run.index.size(); ++i)
                    run.index[i] = run.index[2 * i];
                run.index.resize((run.index.size() + 1) / 2);
                run.step *= 2;
            }
        }
        p += h.bytes;
        samples += h.samples;
        ++frames;
    }
    if (p == size) {
        run.frames = frames;
        run.samples = samples;
    }
    return run;
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
    source.reset();
    sampleRate = 0;
    length = 0;
    stretches.clear();
    frameCount = 0;
    ended = false;
}

TMpgDecoder::OpenResult TMpgDecoder::open(const QString &fileName)
{
    return open(fileName, 0, -1);
}

TMpgDecoder::OpenResult TMpgDecoder::open(const QString &fileName, qint64 start, qint64 count)
{
    close();
    initLibrary();
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists())
        return OpenResult::NoFile;
    if (!info.isFile())
        return OpenResult::CannotRead;

    // Read-only and without locks: the window copies the working copy while it is loaded.
    source = std::make_unique<TMpgQuelle>();
    source->file = std::fopen(QFile::encodeName(info.absoluteFilePath()).constData(), "rbe");
    source->start = qMax<qint64>(0, start);
    source->end = count < 0 ? -1 : source->start + count;
    if (!source->file || (source->start > 0 && fseeko(source->file, off_t(source->start), SEEK_SET) != 0)) {
        close();
        return OpenResult::CannotRead;
    }
    std::setvbuf(source->file, source->buffer.get(), _IOFBF, TMpgQuelle::Puffer);

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

    if (mpg123_replace_reader_handle(handle, readFile, seekFile, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle, source.get()) != MPG123_OK) {
        close();
        return OpenResult::NoAudio;
    }
    long rate = 0;
    int channelCount = 0;
    int encoding = 0;
    mpg123_frameinfo2 frame{};
    if (mpg123_getformat(handle, &rate, &channelCount, &encoding) != MPG123_OK || rate <= 0 ||
        mpg123_info2(handle, &frame) != MPG123_OK || frame.rate <= 0) {
        close();
        return OpenResult::NoAudio;
    }
    // Later frames of another rate (joined files) are resampled to the first one.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);

    const off_t firstFrame = mpg123_framepos(handle);
    RegularRun run = firstFrame >= 0 ? regularRun(*source, firstFrame, rate) : RegularRun{};
    if (run.frames > 0) {
        mpg123_set_index(handle, run.index.data(), run.step, run.index.size());
        frameCount = run.frames;
    }

    // Otherwise one walk over the frame headers through mpg123, from the first frame (already
    // read) to the end, without decoding. mpg123 would count and seek every frame as if it had
    // the first rate, so where a joined file changes its rate is noted.
    long double samples = run.frames > 0 ? (long double)run.samples : 0;
    bool mixed = false;
    for (; run.frames <= 0;) {
        const double duration = frameDuration(frame, rate);
        if (stretches.empty() || stretches.back().duration != duration)
            stretches.push_back({frameCount, samples, duration});
        mixed = mixed || frame.rate != rate;
        samples += duration;
        ++frameCount;
        const int result = mpg123_framebyframe_next(handle);
        if ((result != MPG123_OK && result != MPG123_NEW_FORMAT) || mpg123_info2(handle, &frame) != MPG123_OK ||
            frame.rate <= 0)
            break;
    }
    if (!mixed)
        stretches.clear();
    length = qint64(std::nearbyint(samples));
    if (length <= 0) {
        close();
        return OpenResult::NoAudio;
    }
    sampleRate = rate;
    if (mpg123_seek(handle, 0, SEEK_SET) < 0) {
        close();
        return OpenResult::NoAudio;
    }
    return OpenResult::Ok;
}

bool TMpgDecoder::switchFile(const QString &fileName)
{
    if (!source)
        return false;
    struct stat alt{};
    if (fstat(fileno(source->file), &alt) != 0) {
        close();
        return false;
    }
    const qint64 count = (source->end >= 0 ? source->end : qint64(alt.st_size)) - source->start;
    const off_t pos = ftello(source->file) - off_t(source->start);
    FILE *file = std::fopen(QFile::encodeName(fileName).constData(), "rbe");
    struct stat neu{};
    if (!file || fstat(fileno(file), &neu) != 0 || !S_ISREG(neu.st_mode) || qint64(neu.st_size) != count || pos < 0) {
        if (file)
            std::fclose(file);
        close();
        return false;
    }
    // The buffer goes over to the new stream; mpg123 keeps its positions, which count from the
    // stretch's start, as they count in the new file.
    std::fclose(source->file);
    source->file = file;
    source->start = 0;
    source->end = -1;
    std::setvbuf(file, source->buffer.get(), _IOFBF, TMpgQuelle::Puffer);
    if (fseeko(file, pos, SEEK_SET) != 0) {
        close();
        return false;
    }
    return true;
}

qint64 TMpgDecoder::frameStart(size_t stretch, qint64 frame) const
{
    const Stretch &s = stretches[stretch];
    return qint64(std::nearbyint(s.start + (long double)(frame - s.frame) * s.duration));
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
        const int result =
            mpg123_read(handle, reinterpret_cast<unsigned char *>(buffer + total), size_t(maxBytes - total), &done);
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
    if (stretches.empty())
        return mpg123_seek(handle, off_t(sample), SEEK_SET) >= 0;
    // The last frame that starts at or before `sample`.
    size_t i = stretches.size() - 1;
    while (i > 0 && frameStart(i, stretches[i].frame) > sample)
        --i;
    const qint64 first = stretches[i].frame;
    const qint64 last = (i + 1 < stretches.size() ? stretches[i + 1].frame : frameCount) - 1;
    qint64 frame = qBound(first, first + qint64((sample - stretches[i].start) / stretches[i].duration), last);
    while (frame < last && frameStart(i, frame + 1) <= sample)
        ++frame;
    while (frame > first && frameStart(i, frame) > sample)
        --frame;
    if (mpg123_seek_frame(handle, off_t(frame), SEEK_SET) < 0)
        return false;
    // The rest of the way inside the frame is decoded and dropped.
    char scratch[16384];
    for (qint64 skip = (sample - frameStart(i, frame)) * bytesPerFrame; skip > 0;) {
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
