#pragma once

// Builds synthetic MPEG audio for tests: valid frame headers of any version, layer, bit rate and
// sample rate with silent contents (decoders play them as silence), optional Xing, Info and VBRI
// headers in the first frame, junk bytes, and ID3v2 and ID3v1 tags around them.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace mpeg {

enum class Version { Mpeg1, Mpeg2, Mpeg25 };
enum class Mode { Stereo = 0, JointStereo = 1, DualChannel = 2, Mono = 3 };

struct FrameSpec {
    Version version = Version::Mpeg1;
    int layer = 3;            // 1, 2 or 3
    int bitrate = 128;        // kbit/s, must be in the table of version and layer
    int sampleRate = 44100;   // Hz, must belong to the version
    bool padding = false;
    Mode mode = Mode::JointStereo;
    int modeExtension = 0;
    bool protection = false;  // true: a CRC follows the header (protection bit 0)
    bool copyright = false;
    bool original = true;
    int emphasis = 0;
    // Raw overrides for building invalid or free-format headers.
    std::optional<int> bitrateIndex;    // 0 = free format, 15 = invalid
    std::optional<int> sampleRateIndex; // 3 = reserved
    std::optional<int> versionBits;     // 1 = reserved
    std::optional<int> layerBits;       // 0 = reserved
};

// A frame format in one call.
FrameSpec format(Version version, int layer, int bitrate, int sampleRate, Mode mode = Mode::JointStereo,
                 bool protection = false);

// Frame length in bytes (header included), as the standards compute it.
int frameLength(const FrameSpec &spec);
// Samples per channel in one frame: 384 (Layer I), 1152 (Layer II, MPEG-1 Layer III), 576.
int samplesPerFrame(const FrameSpec &spec);
// Length of the Layer III side information (17 or 32 for MPEG-1, 9 or 17 otherwise).
int sideInfoLength(const FrameSpec &spec);

// The four header bytes.
QByteArray header(const FrameSpec &spec);
// One whole silent frame (frameLength bytes; for free format or invalid specs just the header
// followed by `freeFormatBody` zero bytes).
QByteArray frame(const FrameSpec &spec, int freeFormatBody = 0);
// `count` silent frames. With `encoderPadding` the padding bit is set on the frames an encoder
// pads to keep the exact bit rate (44.1 kHz family); otherwise all frames take spec.padding.
QByteArray frames(const FrameSpec &spec, int count, bool encoderPadding = false);

// A Xing or Info header in a silent first frame of `spec`.
struct XingSpec {
    bool info = false;                 // "Info" instead of "Xing"
    std::optional<quint32> frameCount; // sets flag bit 0 when present
    std::optional<quint32> byteCount;  // flag bit 1
    bool toc = false;                  // flag bit 2, 100 bytes
    std::optional<quint32> quality;    // flag bit 3
};
QByteArray xingFrame(const FrameSpec &spec, const XingSpec &xing);

// A VBRI header (at offset 36 of the frame) in a silent first frame of `spec`.
struct VbriSpec {
    quint16 version = 1;
    quint16 delay = 0;
    quint16 quality = 75;
    quint32 byteCount = 0;
    quint32 frameCount = 0;
};
QByteArray vbriFrame(const FrameSpec &spec, const VbriSpec &vbri);

// A leading ID3v2 tag of `totalSize` bytes in all (header included, footer excluded) holding
// zero padding, or the given body when not empty (then the size follows the body).
QByteArray id3v2Tag(int majorVersion, int totalSize, bool footer = false, const QByteArray &body = {});
// A 128-byte ID3v1 (v1.1 when track > 0) tag; texts in Latin-1, cut to their fields.
QByteArray id3v1Tag(const QString &title = {}, const QString &artist = {}, const QString &album = {},
                    const QString &year = {}, const QString &comment = {}, int track = 0, int genre = 255);
// Bytes that contain no frame sync (no 0xFF), reproducible from `seed`.
QByteArray junk(int count, quint32 seed = 1);

// Playing time of `count` frames of `spec` in milliseconds.
double durationMs(const FrameSpec &spec, qint64 count);

} // namespace mpeg
