// Reading a tag: its header, the body and the frame loop.
#include "tags/id3v2tag.h"

#include "tags/errorreporter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

TMP3Error TID3v2Tag::ReadHeader(QIODevice &Stream)
{
    if (!Stream.seek(0))
        return MP3ERR_SRead;
    const QByteArray h = Stream.read(10);
    if (h.size() < 10)
        return MP3ERR_SRead;
    if (!h.startsWith("ID3"))
        return ID3ERR_NoTag;
    const quint8 major = quint8(h.at(3));
    if (major < 2 || major > 4)
        return ID3ERR_Invalid_Header;
    fTagSize = SyncsafeToInt(h.mid(6, 4)) + 10;
    // A size byte with its top bit set is no synchsafe size: the header cannot be trusted.
    for (int i = 6; i < 10; ++i)
        if (quint8(h.at(i)) >= 0x80)
            fReadWhole = false;
    fExists = true;
    const quint8 flags = quint8(h.at(5));
    TMP3Error result = MP3ERR_None;
    fFlgUnsynch = (flags & 0x80) != 0;
    fFlgCompression = fFlgExtended = fFlgExperimental = fFlgFooterPresent = false;
    if (major == 2) {
        fFlgCompression = (flags & 0x40) != 0;
        if (fFlgCompression)
            result = ID3ERR_Compression;
        fFlgUnknown = (flags & 0x3F) != 0;
    } else {
        fFlgExtended = (flags & 0x40) != 0;
        fFlgExperimental = (flags & 0x20) != 0;
        if (major == 4) {
            fFlgFooterPresent = (flags & 0x10) != 0;
            if (fFlgFooterPresent)
                fTagSize += 10;
        }
        fFlgUnknown = (flags & (major == 3 ? 0x1F : 0x0F)) != 0;
    }
    fVersion.Major = major;
    fVersion.Minor = quint8(h.at(4));
    if (fFlgExtended) {
        const QByteArray e = Stream.read(4);
        if (e.size() < 4)
            return MP3ERR_SRead;
        qint64 skip;
        if (major == 4) {
            skip = qMax<qint64>(0, SyncsafeToInt(e) - 4);
        } else {
            skip = qint64(quint8(e.at(0))) << 24 | qint64(quint8(e.at(1))) << 16 | qint64(quint8(e.at(2))) << 8 |
                   qint64(quint8(e.at(3)));
        }
        Stream.seek(qMin(Stream.pos() + skip, Stream.size()));
    }
    return result;
}

QByteArray TID3v2Tag::ReadUnsyncedTagData(const QByteArray &raw) const
{
    return DeUnsyncBytes(raw);
}

namespace {

// A tag larger than this is taken as damaged, and its frames may not take more memory than
// this either, nor more than a few times the tag's size: reading stays bounded whatever the
// file claims.
constexpr qint64 kMaxTagBytes = 64 * 1024 * 1024;
constexpr qint64 kMinFrameBudget = 4 * 1024 * 1024;
// Memory of one frame beside its content: the object, its header and ID, the list entry.
constexpr qint64 kFrameCost = 320;

// Whether a frame ending at `next` is followed by what may follow a frame: another frame
// header, padding up to the end, or the end itself.
bool leadsOn(const QByteArray &body, qint64 next, qint64 framesEnd, qint64 zerosFrom)
{
    if (next == framesEnd || (next >= zerosFrom && next <= framesEnd))
        return true;
    return next + 10 <= framesEnd && TID3v2Tag::ValidFrameIDChars(body.mid(next, 4));
}

// Some programs wrote v2.4 frame sizes as plain 32-bit numbers. Where the synchsafe reading of
// the size leads nowhere and the plain one leads to the next frame, the plain one is put into
// the body in synchsafe form, so the frame reads it.
void mendPlainSize(QByteArray &body, qint64 start, qint64 framesEnd, qint64 zerosFrom)
{
    if (start + 10 > framesEnd)
        return;
    const auto b = [&](int i) { return qint64(quint8(body.at(start + 4 + i))); };
    const qint64 synchsafe = TID3v2Tag::SyncsafeToInt(body.mid(start + 4, 4));
    const qint64 plain = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
    const bool synchsafeFits =
        (b(0) | b(1) | b(2) | b(3)) < 0x80 && leadsOn(body, start + 10 + synchsafe, framesEnd, zerosFrom);
    if (synchsafeFits || plain == synchsafe || plain >= (qint64(1) << 28) ||
        !leadsOn(body, start + 10 + plain, framesEnd, zerosFrom))
        return;
    const QByteArray mended = TID3v2Tag::IntToSyncsafe(plain);
    for (int i = 0; i < 4; ++i)
        body[start + 4 + i] = mended.at(i);
}

} // namespace

TMP3Error TID3v2Tag::ReadFrames(QByteArray &bytes)
{
    fUsePadding = false;
    fFrames.clear();
    const int idLength = fVersion.Major == 2 ? 3 : 4;
    // Frames and padding end before a footer; past the last non-zero byte there is only padding.
    const qint64 framesEnd = qMax<qint64>(0, bytes.size() - (fFlgFooterPresent ? 10 : 0));
    qint64 zerosFrom = framesEnd;
    while (zerosFrom > 0 && bytes.at(zerosFrom - 1) == 0)
        --zerosFrom;
    QBuffer body(&bytes);
    body.open(QIODevice::ReadOnly);
    qint64 budget = qBound(kMinFrameBudget, 3 * qint64(bytes.size()), kMaxTagBytes);
    while (body.pos() < body.size()) {
        const qint64 start = body.pos();
        if (fVersion.Major == 4)
            mendPlainSize(bytes, start, framesEnd, zerosFrom);
        const QByteArray id = body.read(idLength);
        if (!ValidFrameIDChars(id)) {
            fPaddingSize = body.size() - start;
            fUsePadding = true;
            // Bytes other than zeros where the padding starts may be frames we could not read.
            if (start < zerosFrom)
                fReadWhole = false;
            break;
        }
        auto frame = std::make_unique<TID3v2Frame>(id, fVersion.Major);
        try {
            frame->ReadFromStream(body);
        } catch (const EID3v2ReadError &) {
            return MP3ERR_SRead;
        }
        budget -= frame->DataSize() + kFrameCost;
        if (budget < 0) {
            fReadWhole = false;
            return MP3ERR_SRead;
        }
        frame->SetAlwaysWriteUnicode(fAlwaysWriteUnicode);
        frame->SetCharCode(fCharCode);
        frame->SetAutoCorrectCodepage(fAutoCorrectCodepage);
        fFrames.push_back(std::move(frame));
    }
    return MP3ERR_None;
}

TMP3Error TID3v2Tag::ReadFromStream(QIODevice &Stream)
{
    Clear();
    try {
        const TMP3Error r = ReadHeader(Stream);
        // A tag cut short counts as a failed read; a stream too short for any tag does not.
        if (r == MP3ERR_SRead && fExists)
            fUsePadding = false;
        if (!fExists || r != MP3ERR_None)
            return r;
        QByteArray raw;
        const qint64 pos = Stream.pos();
        if (fTagSize > pos) {
            const qint64 n = fTagSize - pos;
            // The file ends inside the tag: reported, never allocated beyond what the file has.
            if (n > Stream.size() - pos) {
                fUsePadding = false;
                return MP3ERR_FOpenR;
            }
            if (n > kMaxTagBytes) {
                fUsePadding = false;
                fReadWhole = false;
                return MP3ERR_SRead;
            }
            raw = Stream.read(n);
            if (raw.size() != n) {
                fUsePadding = false;
                return MP3ERR_FOpenR;
            }
        }
        QByteArray body = (fVersion.Major <= 3 && fFlgUnsynch) ? ReadUnsyncedTagData(raw) : raw;
        raw.clear();
        return ReadFrames(body);
    } catch (const std::exception &e) {
        fUsePadding = false;
        ReportError(QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
        return ID3ERR_Unclassified;
    }
}

TMP3Error TID3v2Tag::ReadFromFile(const QString &Filename)
{
    if (!QFileInfo::exists(Filename))
        return MP3ERR_NoFile;
    fFilename = Filename;
    QFile file(Filename);
    if (!file.open(QIODevice::ReadOnly))
        return MP3ERR_FOpenR;
    return ReadFromStream(file);
}
