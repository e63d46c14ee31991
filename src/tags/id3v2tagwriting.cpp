// Writing a tag into a file and removing it from one.
#include "tags/id3v2tag.h"

#include "support/bytecopy.h"
#include "support/filereplace.h"
#include "tags/errorreporter.h"
#include "tags/id3v1tag.h"
#include "tags/tagbackup.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <optional>

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

Copy copyBytes(TByteCopy &copy, QIODevice &from, QIODevice &to, qint64 count,
               const std::function<void()> &afterBlock = {})
{
    const TKopierErgebnis e = copy.Kopieren(from, to, count, afterBlock);
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

// A file is rewritten by building the new one beside it and renaming it over the old one, so
// that at any moment the file is either as it was or as it should be. Where that cannot be (a
// file with several hard links, a folder that takes no new file, a stream that is no file) the
// file is changed in place: a copy of the whole file goes into a temporary file first, the
// target's new length is reserved, and whatever fails after that is undone from the copy.

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

namespace {

// Writes `head` and `zeros` zero bytes into a new file beside `name`, then the bytes of
// `Stream` from `from` to its end, and puts the new file in the old one's place.
// std::nullopt when the new file cannot be made there.
std::optional<TMP3Error> replaceFile(const QString &name, QIODevice &Stream, const QByteArray &head, qint64 zeros,
                                     qint64 from, TID3v2Tag::TWithV1 *v1 = nullptr)
{
    if (name.isEmpty())
        return std::nullopt;
    TDateiErsatz ersatz(name);
    if (!ersatz.Anlegen())
        return std::nullopt;
    QFile &neu = ersatz.Datei();
    if (neu.write(head) != head.size() || !writeZeros(neu, zeros))
        return MP3ERR_SWrite;
    TByteCopy copy;
    if (auto *file = qobject_cast<QFileDevice *>(&Stream))
        TByteCopy::FortlaufendLesen(*file);
    const qint64 rest = Stream.size() - from;
    if (!Stream.seek(from))
        return ID3ERR_Cache;
    qint64 written = 0;
    const Copy c = copyBytes(copy, Stream, neu, rest, [&] {
        // Every 16 MiB the disk starts on what is there, while the copy goes on.
        const qint64 now = neu.size();
        if (now - written >= (16 << 20)) {
            written = now;
            ersatz.Vorausschreiben();
        }
    });
    if (c != Copy::Ok)
        return c == Copy::ReadFailed ? ID3ERR_Cache : MP3ERR_SWrite;
    // The ID3v1 tag written with it goes into the same new file, so both change at once.
    if (v1 != nullptr && (v1->Result = v1->Tag.WriteToStream(neu)) != MP3ERR_None)
        return MP3ERR_SWrite;
    if (!ersatz.Uebernehmen())
        return MP3ERR_SWrite;
    if (v1 != nullptr)
        v1->Written = true;
    return MP3ERR_None;
}

} // namespace

TMP3Error TID3v2Tag::WriteTag(QIODevice &Stream, const QString &replace, TWithV1 *v1)
{
    if (fFrames.empty())
        SetTitle(QStringLiteral(" "));

    QBuffer tagFile;
    tagFile.open(QIODevice::ReadWrite);
    QByteArray header("ID3");
    header.append(char(fVersion.Major)).append(char(fVersion.Minor)).append(char(fFlgUnsynch ? 0x80 : 0x00));
    header.append(4, '\0');
    bool written = tagFile.write(header) == header.size();
    if (fFlgUnsynch && fVersion.Major <= 3) {
        QBuffer plain;
        plain.open(QIODevice::ReadWrite);
        for (const auto &frame : fFrames)
            frame->WriteToStream(plain);
        QByteArray unsynced;
        UnsyncBytes(plain.data(), unsynced);
        plain.buffer().clear();
        written = written && tagFile.write(unsynced) == unsynced.size();
    } else {
        for (const auto &frame : fFrames)
            written = written && (fFlgUnsynch ? frame->WriteUnsyncedToStream(tagFile) : frame->WriteToStream(tagFile));
    }
    if (!written)
        return MP3ERR_SWrite;
    const qint64 newSize = tagFile.size();

    const qint64 old = ReplaceableTagSize(Stream);
    if (old < 0)
        return ID3ERR_Invalid_Header;
    const qint64 length = Stream.size();
    const bool inPlace = fUsePadding && newSize + 30 < old && old <= newSize + 512000;

    QByteArray oldBytes;
    qint64 audio = 0;
    qint64 v1extra = 0;
    if (inPlace) {
        seekTo(Stream, 0);
        oldBytes = Stream.read(old);
        if (oldBytes.size() != old)
            return MP3ERR_SRead;
    } else {
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
    tagFile.buffer().replace(6, 4, IntToSyncsafe(tagSize - 10));
    const auto done = [&] {
        fDataSize = newSize;
        fPaddingSize = padding;
        fTagSize = tagSize;
        return MP3ERR_None;
    };

    if (!inPlace) {
        if (const auto replaced = replaceFile(replace, Stream, tagFile.buffer(), padding, old, v1)) {
            if (*replaced != MP3ERR_None)
                return *replaced;
            return done();
        }
    }

    TByteCopy copy;
    TTagTempFile backup;
    if (!inPlace) {
        if (!backup.create())
            return MP3ERR_FOpenCrt;
        if (!seekTo(Stream, 0) || copyBytes(copy, Stream, backup.file, length) != Copy::Ok || !flushed(backup.file))
            return ID3ERR_Cache;
    }

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
    if (!seekTo(Stream, 0) || !tagFile.seek(0)) {
        result = MP3ERR_SWrite;
    } else {
        const Copy c = copyBytes(copy, tagFile, Stream, newSize);
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
    return done();
}

TMP3Error TID3v2Tag::WriteToStream(QIODevice &Stream)
{
    return reportingErrors(QStringLiteral("Error Error"), [&] { return WriteTag(Stream, QString()); });
}

TMP3Error TID3v2Tag::ChangeFile(const QString &Filename, bool write, TWithV1 *v1)
{
    if (!QFileInfo::exists(Filename))
        return MP3ERR_NoFile;
    fFilename = Filename;
    QFile file(Filename);
    // Unbuffered, so that a failed write shows at once and the copy back is not held up.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return MP3ERR_FOpenRW;
    if (write)
        return reportingErrors(QStringLiteral("Error Error"), [&] { return WriteTag(file, Filename, v1); });
    return reportingErrors(QStringLiteral("Error"), [&] { return RemoveTag(file, Filename); });
}

TMP3Error TID3v2Tag::WriteToFile(const QString &Filename)
{
    return ChangeFile(Filename, true, nullptr);
}

TMP3Error TID3v2Tag::WriteToFile(const QString &Filename, TID3v1Tag &AId3V1, TMP3Error &AV1Result)
{
    TWithV1 v1{AId3V1};
    const TMP3Error result = ChangeFile(Filename, true, &v1);
    // Where the file was not rewritten with both, the ID3v1 tag is written by itself.
    AV1Result = v1.Written ? v1.Result : AId3V1.WriteToFile(Filename);
    return result;
}

TMP3Error TID3v2Tag::RemoveTag(QIODevice &Stream, const QString &replace)
{
    const qint64 old = ReplaceableTagSize(Stream);
    if (old < 0)
        return ID3ERR_Invalid_Header;
    if (old == 0)
        return ID3ERR_NoTag;
    if (const auto replaced = replaceFile(replace, Stream, QByteArray(), 0, old))
        return *replaced;
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
    return reportingErrors(QStringLiteral("Error"), [&] { return RemoveTag(Stream, QString()); });
}

TMP3Error TID3v2Tag::RemoveFromFile(const QString &Filename)
{
    return ChangeFile(Filename, false, nullptr);
}
