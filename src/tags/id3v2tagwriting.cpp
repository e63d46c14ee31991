// Writing a tag into a file and removing it from one.
#include "tags/id3v2tag.h"

#include "support/bytecopy.h"
#include "tags/errorreporter.h"
#include "tags/tagbackup.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kZeroBlock = 128 * 1024;

bool writeZeros(QIODevice &to, qint64 count)
{
    const QByteArray zeros(qMin(count, kZeroBlock), '\0');
    while (count > 0) {
        const qint64 n = qMin<qint64>(count, zeros.size());
        if (to.write(zeros.constData(), n) != n)
            return false;
        count -= n;
    }
    return true;
}

// A buffered file reports a full disk only when its buffer goes out.
bool flushed(QIODevice &device)
{
    if (auto *file = qobject_cast<QFileDevice *>(&device))
        return file->flush();
    return true;
}

bool seekTo(QIODevice &device, qint64 pos)
{
    return device.seek(qMax<qint64>(0, pos));
}

enum class Copy { Ok, ReadFailed, WriteFailed };

Copy copyBytes(TByteCopy &copy, QIODevice &from, QIODevice &to, qint64 count)
{
    const TKopierErgebnis e = copy.Kopieren(from, to, count);
    if (e.schreibfehler)
        return Copy::WriteFailed;
    return e.vollstaendig(count) ? Copy::Ok : Copy::ReadFailed;
}

// Unexpected errors are shown and turned into a result, never passed to the caller.
template <typename Operation> TMP3Error reportingErrors(const QString &title, Operation &&operation)
{
    try {
        return operation();
    } catch (const std::exception &e) {
        ReportError(title, QString::fromLocal8Bit(e.what()));
        return ID3ERR_Unclassified;
    }
}

} // namespace

// The target is never the only place that holds the user's audio: a rewrite first copies the
// whole file into a temporary file, reserves the target's new length, and only then overwrites
// it. Whatever fails after that is undone from the copy, so the file stays as it was.

qint64 TID3v2Tag::ReplaceableTagSize(QIODevice &Stream)
{
    TID3v2Tag probe;
    probe.ReadFromStream(Stream);
    // A header that claims more than the file holds is no tag to replace: the bytes it would
    // cover may be the audio.
    if (!probe.fExists || probe.fTagSize > Stream.size())
        return 0;
    // Nor is one whose size is no synchsafe number or whose padding holds data, such as the
    // first frames of the audio.
    return probe.fReadWhole ? probe.fTagSize : -1;
}

TMP3Error TID3v2Tag::WriteTag(QIODevice &Stream)
{
    if (fFrames.empty())
        SetTitle(QStringLiteral(" "));

    TByteCopy copy;
    TTagTempFile tagFile;
    if (!tagFile.create())
        return MP3ERR_FOpenCrt;
    QByteArray header("ID3");
    header.append(char(fVersion.Major)).append(char(fVersion.Minor)).append(char(fFlgUnsynch ? 0x80 : 0x00));
    header.append(4, '\0');
    bool written = tagFile.file.write(header) == header.size();
    if (fFlgUnsynch && fVersion.Major <= 3) {
        QBuffer plain;
        plain.open(QIODevice::ReadWrite);
        for (const auto &frame : fFrames)
            frame->WriteToStream(plain);
        QByteArray unsynced;
        UnsyncBytes(plain.data(), unsynced);
        written = written && tagFile.file.write(unsynced) == unsynced.size();
    } else {
        for (const auto &frame : fFrames)
            written = written &&
                      (fFlgUnsynch ? frame->WriteUnsyncedToStream(tagFile.file) : frame->WriteToStream(tagFile.file));
    }
    if (!written || !flushed(tagFile.file))
        return MP3ERR_SWrite;
    const qint64 newSize = tagFile.file.size();

    const qint64 old = ReplaceableTagSize(Stream);
    if (old < 0)
        return ID3ERR_Invalid_Header;
    const qint64 length = Stream.size();
    const bool inPlace = fUsePadding && newSize + 30 < old && old <= newSize + 512000;

    TTagTempFile backup;
    QByteArray oldBytes;
    qint64 audio = 0;
    qint64 v1extra = 0;
    if (inPlace) {
        seekTo(Stream, 0);
        oldBytes = Stream.read(old);
        if (oldBytes.size() != old)
            return MP3ERR_SRead;
    } else {
        if (!backup.create())
            return ID3ERR_Cache;
        if (!seekTo(Stream, 0) || copyBytes(copy, Stream, backup.file, length) != Copy::Ok || !flushed(backup.file))
            return ID3ERR_Cache;
        audio = length - old;
        if (length >= 128 && Stream.seek(length - 128)) {
            const QByteArray probeV1 = Stream.read(3);
            v1extra = (probeV1.size() == 3 && probeV1 != "TAG") ? 128 : 0;
        }
    }

    qint64 padding;
    qint64 tagSize;
    if (!fUsePadding) {
        padding = 0;
        tagSize = newSize;
    } else if (!inPlace) {
        padding = GetPaddingSize(fFilename, fUseClusteredPadding, newSize + audio + v1extra);
        tagSize = newSize + padding;
    } else {
        padding = old - newSize;
        tagSize = old;
    }
    if (!tagFile.file.seek(6) || tagFile.file.write(IntToSyncsafe(tagSize - 10)) != 4 || !flushed(tagFile.file))
        return MP3ERR_SWrite;

    QBuffer oldTag(&oldBytes);
    oldTag.open(QIODevice::ReadOnly);
    TTagUndo undo(inPlace ? static_cast<QIODevice &>(oldTag) : backup.file, Stream, length,
                  inPlace ? nullptr : &backup);
    const qint64 newLength = inPlace ? length : tagSize + audio;
    if (newLength > length) {
        // Reserve the room first, so that a full disk stops us before the first byte changes.
        const bool reserved = seekTo(Stream, length) && writeZeros(Stream, newLength - length) && flushed(Stream);
        if (!reserved) {
            seekTo(Stream, length);
            SetStreamEnd(Stream);
            undo.done = true;
            return MP3ERR_SWrite;
        }
    }

    TMP3Error result = MP3ERR_None;
    if (!seekTo(Stream, 0) || !tagFile.file.seek(0)) {
        result = MP3ERR_SWrite;
    } else {
        const Copy c = copyBytes(copy, tagFile.file, Stream, newSize);
        if (c == Copy::ReadFailed)
            result = MP3ERR_FOpenR;
        else if (c == Copy::WriteFailed || !writeZeros(Stream, padding))
            result = MP3ERR_SWrite;
    }
    if (result == MP3ERR_None && !inPlace) {
        if (!backup.file.seek(old)) {
            result = MP3ERR_FOpenR;
        } else {
            if (copyBytes(copy, backup.file, Stream, audio) != Copy::Ok)
                result = MP3ERR_FOpenR;
            else
                SetStreamEnd(Stream);
        }
    }
    if (result == MP3ERR_None && !flushed(Stream))
        result = MP3ERR_SWrite;

    if (result != MP3ERR_None)
        return result;
    undo.done = true;
    fDataSize = newSize;
    fPaddingSize = padding;
    fTagSize = tagSize;
    return MP3ERR_None;
}

TMP3Error TID3v2Tag::WriteToStream(QIODevice &Stream)
{
    return reportingErrors(QStringLiteral("Error Error"), [&] { return WriteTag(Stream); });
}

TMP3Error TID3v2Tag::ChangeFile(const QString &Filename, TMP3Error (TID3v2Tag::*operation)(QIODevice &))
{
    if (!QFileInfo::exists(Filename))
        return MP3ERR_NoFile;
    fFilename = Filename;
    QFile file(Filename);
    // Unbuffered, so that a failed write shows at once and the copy back is not held up.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return MP3ERR_FOpenRW;
    return (this->*operation)(file);
}

TMP3Error TID3v2Tag::WriteToFile(const QString &Filename)
{
    return ChangeFile(Filename, &TID3v2Tag::WriteToStream);
}

TMP3Error TID3v2Tag::RemoveTag(QIODevice &Stream)
{
    const qint64 old = ReplaceableTagSize(Stream);
    if (old < 0)
        return ID3ERR_Invalid_Header;
    if (old == 0)
        return ID3ERR_NoTag;
    const qint64 length = Stream.size();

    TByteCopy copy;
    TTagTempFile backup;
    if (!backup.create())
        return MP3ERR_FOpenCrt;
    if (!seekTo(Stream, 0) || copyBytes(copy, Stream, backup.file, length) != Copy::Ok || !flushed(backup.file))
        return ID3ERR_Cache;

    const qint64 rest = length - old;
    TTagUndo undo(backup.file, Stream, length, &backup);
    TMP3Error result = MP3ERR_None;
    if (!seekTo(Stream, 0) || !backup.file.seek(old)) {
        result = ID3ERR_Cache;
    } else {
        const Copy c = copyBytes(copy, backup.file, Stream, rest);
        if (c != Copy::Ok)
            result = c == Copy::ReadFailed ? ID3ERR_Cache : MP3ERR_SWrite;
        else
            SetStreamEnd(Stream);
    }
    if (result == MP3ERR_None && !flushed(Stream))
        result = MP3ERR_SWrite;
    undo.done = result == MP3ERR_None;
    return result;
}

TMP3Error TID3v2Tag::RemoveFromStream(QIODevice &Stream)
{
    return reportingErrors(QStringLiteral("Error"), [&] { return RemoveTag(Stream); });
}

TMP3Error TID3v2Tag::RemoveFromFile(const QString &Filename)
{
    return ChangeFile(Filename, &TID3v2Tag::RemoveFromStream);
}
