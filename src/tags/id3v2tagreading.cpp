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

TMP3Error TID3v2Tag::ReadFrames(QIODevice &body)
{
    fUsePadding = false;
    fFrames.clear();
    const int idLength = fVersion.Major == 2 ? 3 : 4;
    while (body.pos() < body.size()) {
        const qint64 start = body.pos();
        const QByteArray id = body.read(idLength);
        if (!ValidFrameIDChars(id)) {
            fPaddingSize = body.size() - start;
            fUsePadding = true;
            break;
        }
        auto frame = std::make_unique<TID3v2Frame>(id, fVersion.Major);
        try {
            frame->ReadFromStream(body);
        } catch (const EID3v2ReadError &) {
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
            raw = Stream.read(n);
            if (raw.size() != n) {
                fUsePadding = false;
                return MP3ERR_FOpenR;
            }
        }
        QByteArray body = (fVersion.Major <= 3 && fFlgUnsynch) ? ReadUnsyncedTagData(raw) : raw;
        raw.clear();
        QBuffer buffer(&body);
        buffer.open(QIODevice::ReadOnly);
        return ReadFrames(buffer);
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
