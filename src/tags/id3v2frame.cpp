// A frame's header, flags and size, and reading and writing it.
#include "tags/id3v2frame.h"

#include "tags/byteat.h"

#include <QBuffer>
#include <QFileDevice>

namespace {

// Flag indices into the masks below.
enum {
    flTagAlter,
    flFileAlter,
    flReadOnly,
    flUnknownStatus,
    flCompression,
    flEncryption,
    flGrouping,
    flUnsync,
    flDataLength,
    flUnknownFormat
};
constexpr quint8 kMasksV3[10] = {0x80, 0x40, 0x20, 0x1F, 0x80, 0x40, 0x20, 0x00, 0x00, 0x1F};
constexpr quint8 kMasksV4[10] = {0x40, 0x20, 0x10, 0x8F, 0x08, 0x04, 0x40, 0x02, 0x01, 0xB0};

QByteArray readExactly(QIODevice &stream, qint64 n)
{
    // Checked first, so a size field that lies never makes us allocate more than the stream has.
    if (n < 0 || (!stream.isSequential() && n > stream.size() - stream.pos()))
        throw EID3v2ReadError("Stream read error");
    QByteArray bytes = stream.read(n);
    if (bytes.size() != n)
        throw EID3v2ReadError("Stream read error");
    return bytes;
}

} // namespace

void SetStreamEnd(QIODevice &stream)
{
    const qint64 pos = stream.pos();
    if (auto *file = qobject_cast<QFileDevice *>(&stream)) {
        file->flush();
        file->resize(pos);
    } else if (auto *buffer = qobject_cast<QBuffer *>(&stream)) {
        buffer->buffer().truncate(pos);
        buffer->seek(pos);
    }
}

TID3v2Frame::TID3v2Frame(const QByteArray &frameID, quint8 version)
    : fVersion(version), fIDString(frameID), fHeader(version == 2 ? 6 : 10, '\0')
{
    if (!ValidFrameID(fIDString))
        fIDString = version == 2 ? QByteArray("XXX") : QByteArray("XXXX");
    fHeader.replace(0, fIDString.size(), fIDString);
}

bool TID3v2Frame::ValidFrameID(const QByteArray &id) const
{
    if (id.size() != (fVersion == 2 ? 3 : 4))
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

quint8 TID3v2Frame::FlagMask(int flag) const
{
    if (fVersion == 3)
        return kMasksV3[flag];
    if (fVersion == 4)
        return kMasksV4[flag];
    return 0;
}

bool TID3v2Frame::FlagSet(int flag) const
{
    if (fVersion == 2)
        return false;
    if (fVersion != 3 && fVersion != 4)
        return true;
    return (byteAt(fHeader, flag <= flUnknownStatus ? 8 : 9) & FlagMask(flag)) != 0;
}

void TID3v2Frame::SetFlag(int flag)
{
    if (fHeader.size() < 10)
        return;
    const int at = flag <= flUnknownStatus ? 8 : 9;
    fHeader[at] = char(byteAt(fHeader, at) | FlagMask(flag));
}

void TID3v2Frame::UnSetFlag(int flag)
{
    if (fHeader.size() < 10)
        return;
    const int at = flag <= flUnknownStatus ? 8 : 9;
    fHeader[at] = char(byteAt(fHeader, at) & ~FlagMask(flag));
}

// These two answer whether the frame survives an alteration, so a clear bit means true.
bool TID3v2Frame::FlagTagAlterPreservation() const
{
    return (fVersion == 3 || fVersion == 4) ? !FlagSet(flTagAlter) : true;
}

bool TID3v2Frame::FlagFileAlterPreservation() const
{
    return (fVersion == 3 || fVersion == 4) ? !FlagSet(flFileAlter) : true;
}

bool TID3v2Frame::FlagReadOnly() const
{
    return FlagSet(flReadOnly);
}
bool TID3v2Frame::FlagCompression() const
{
    return FlagSet(flCompression);
}
bool TID3v2Frame::FlagEncryption() const
{
    return FlagSet(flEncryption);
}
bool TID3v2Frame::FlagGroupingIndentity() const
{
    return FlagSet(flGrouping);
}
bool TID3v2Frame::FlagUnsynchronisation() const
{
    return FlagSet(flUnsync);
}
bool TID3v2Frame::FlagDataLengthIndicator() const
{
    return FlagSet(flDataLength);
}
bool TID3v2Frame::FlagUnknownStatus() const
{
    return FlagSet(flUnknownStatus);
}
bool TID3v2Frame::FlagUnknownEncoding() const
{
    return FlagSet(flUnknownFormat);
}

void TID3v2Frame::SetFlagGroupingIndentity(bool value)
{
    if (value)
        SetFlag(flGrouping);
    else
        UnSetFlag(flGrouping);
}

bool TID3v2Frame::HasGroupByte() const
{
    return (fVersion == 3 || fVersion == 4) && FlagSet(flGrouping);
}

void TID3v2Frame::ResetFlagsAfterChange()
{
    for (int f : {flReadOnly, flUnknownStatus, flCompression, flEncryption, flUnsync, flDataLength, flUnknownFormat})
        UnSetFlag(f);
    // With those flags gone the new content is plain, so the frame can be parsed again.
    fParsable = true;
}

qint64 TID3v2Frame::HeaderContentSize() const
{
    const auto b = [this](int i) { return qint64(byteAt(fHeader, i)); };
    if (fVersion == 2)
        return b(3) << 16 | b(4) << 8 | b(5);
    if (fVersion == 4)
        return (b(4) << 21) + (b(5) << 14) + (b(6) << 7) + b(7);
    return b(4) << 24 | b(5) << 16 | b(6) << 8 | b(7);
}

void TID3v2Frame::UpdateHeaderSize(qint64 n)
{
    if (n < 0)
        n = fData.size();
    if (fVersion == 2) {
        fHeader[3] = char(n / 65536);
        fHeader[4] = char((n % 65536) / 256);
        fHeader[5] = char(n % 256);
    } else if (fVersion == 4) {
        fHeader[4] = char(n / (1 << 21));
        fHeader[5] = char((n % (1 << 21)) / (1 << 14));
        fHeader[6] = char((n % (1 << 14)) / (1 << 7));
        fHeader[7] = char(n % (1 << 7));
    } else {
        fHeader[4] = char(n >> 24);
        fHeader[5] = char(n >> 16);
        fHeader[6] = char(n >> 8);
        fHeader[7] = char(n);
    }
}

QByteArray TID3v2Frame::ReadDeUnsynchronised(QIODevice &aStream, qint64 n)
{
    return DeUnsyncBytes(readExactly(aStream, n));
}

void TID3v2Frame::ReadFromStream(QIODevice &aStream)
{
    fParsable = true;
    const int rest = fVersion == 2 ? 3 : 6;
    fHeader.replace(fIDString.size(), rest, readExactly(aStream, rest));
    qint64 size = HeaderContentSize();
    const quint8 format = fHeader.size() >= 10 ? byteAt(fHeader, 9) : 0;
    if (fVersion == 3 && (format & 0xDF) != 0)
        fParsable = false;
    if (fVersion == 4 && (format & 0xBC) != 0)
        fParsable = false;

    QBuffer unsynced;
    QIODevice *source = &aStream;
    if (fVersion == 4 && (format & 0x02) != 0) {
        unsynced.setData(ReadDeUnsynchronised(aStream, size));
        unsynced.open(QIODevice::ReadOnly);
        size = unsynced.size();
        source = &unsynced;
    }

    if (fParsable && (fVersion == 3 || fVersion == 4)) {
        const bool grouping = HasGroupByte();
        const bool dataLength = fVersion == 4 && FlagSet(flDataLength);
        const qint64 extra = (grouping ? 1 : 0) + (dataLength ? 4 : 0);
        if (size < extra)
            throw EID3v2FrameError("Invalid frame size");
        if (grouping)
            fGroupID = byteAt(readExactly(*source, 1), 0);
        if (dataLength) {
            const QByteArray d = readExactly(*source, 4);
            fDataLength = qint32(quint32(byteAt(d, 0)) << 24 | quint32(byteAt(d, 1)) << 16 |
                                 quint32(byteAt(d, 2)) << 8 | quint32(byteAt(d, 3)));
        }
        size -= extra;
    }
    fData = readExactly(*source, size);
}

// What follows the header when written: the group byte of a parsable frame, then its content;
// a length indicator is never written.
QByteArray TID3v2Frame::BodyToWrite()
{
    QByteArray body;
    if (fParsable) {
        UnSetFlag(flDataLength);
        if (HasGroupByte())
            body.append(char(fGroupID));
    }
    body.append(fData);
    return body;
}

bool TID3v2Frame::WriteHeaderAndBody(QIODevice &aStream, const QByteArray &body)
{
    UpdateHeaderSize(body.size());
    return aStream.write(fHeader) == fHeader.size() && aStream.write(body) == body.size();
}

bool TID3v2Frame::WriteToStream(QIODevice &aStream)
{
    UnSetFlag(flUnsync);
    return WriteHeaderAndBody(aStream, BodyToWrite());
}

bool TID3v2Frame::WriteUnsyncedToStream(QIODevice &aStream)
{
    QByteArray out;
    if (UnsyncBytes(BodyToWrite(), out))
        SetFlag(flUnsync);
    else
        UnSetFlag(flUnsync);
    return WriteHeaderAndBody(aStream, out);
}
