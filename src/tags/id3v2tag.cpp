#include "tags/id3v2tag.h"

#include "support/fileutils.h"
#include "tags/errorreporter.h"
#include "tags/id3genres.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>

const QByteArray DefaultRatingOwner = QByteArrayLiteral("Taglumen, http://www.taglumen.de");

namespace {

constexpr qint64 kCopyBuffer = 128 * 1024;

enum class Copy { Ok, ReadFailed, WriteFailed };

// Copies `count` bytes from the current position of `from` to that of `to`.
Copy copyBytes(QIODevice &from, QIODevice &to, qint64 count)
{
    QByteArray buffer(qMin(count, kCopyBuffer), Qt::Uninitialized);
    while (count > 0) {
        const qint64 n = from.read(buffer.data(), qMin<qint64>(count, buffer.size()));
        if (n <= 0)
            return Copy::ReadFailed;
        if (to.write(buffer.constData(), n) != n)
            return Copy::WriteFailed;
        count -= n;
    }
    return Copy::Ok;
}

bool writeZeros(QIODevice &to, qint64 count)
{
    const QByteArray zeros(qMin(count, kCopyBuffer), '\0');
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

// A "TagTemp.t" file of our own, removed again unless it must keep the user's audio.
class TempTagFile {
public:
    ~TempTagFile()
    {
        if (!created)
            return;
        file.close();
        if (!keep)
            file.remove();
    }
    bool create()
    {
        // Another program may take a free name between the look-up and the creation.
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name = TID3v2Tag::GetTempTagFileName();
            if (name.isEmpty())
                return false;
            file.setFileName(name);
            if (file.open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
                created = true;
                return true;
            }
            if (!QFileInfo::exists(file.fileName()))
                return false;
        }
        return false;
    }
    QFile file;
    bool keep = false;

private:
    bool created = false;
};

// Puts the whole of `backup` back at the start of `target` and cuts the target to `length`.
bool restoreFrom(QIODevice &backup, QIODevice &target, qint64 length)
{
    bool ok = backup.seek(0) && seekTo(target, 0) && copyBytes(backup, target, backup.size()) == Copy::Ok;
    ok = ok && seekTo(target, length);
    SetStreamEnd(target);
    return ok && flushed(target) && target.size() == length;
}

// Puts the target back from `source` unless the change completes, so an error result and an
// exception alike leave the file as it was; when even that fails, the backup file stays.
class UndoChange {
public:
    UndoChange(QIODevice &source, QIODevice &target, qint64 length, TempTagFile *backup)
        : source(source), target(target), length(length), backup(backup)
    {
    }
    ~UndoChange()
    {
        if (done)
            return;
        bool restored = false;
        try {
            restored = restoreFrom(source, target, length);
        } catch (...) {
        }
        if (!restored && backup != nullptr)
            backup->keep = true;
    }
    bool done = false;

private:
    QIODevice &source;
    QIODevice &target;
    qint64 length;
    TempTagFile *backup;
};

// Unexpected errors are shown and turned into a result, never passed to the caller.
template <typename Operation>
TMP3Error reportingErrors(const QString &title, Operation &&operation)
{
    try {
        return operation();
    } catch (const std::exception &e) {
        ReportError(title, QString::fromLocal8Bit(e.what()));
        return ID3ERR_Unclassified;
    }
}

} // namespace

TID3v2Tag::TID3v2Tag()
{
    Clear();
    fUsePadding = false;
}

TID3v2Tag::~TID3v2Tag() = default;

void TID3v2Tag::Clear()
{
    fFrames.clear();
    fExists = false;
    fVersion = TID3Version();
    fFlgUnsynch = fFlgCompression = fFlgExtended = fFlgExperimental = fFlgFooterPresent = fFlgUnknown = false;
    fPaddingSize = fTagSize = fDataSize = 0;
    fUsePadding = true;
    fUseClusteredPadding = true;
}

qint64 TID3v2Tag::SyncsafeToInt(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return 0;
    const auto b = [&](int i) { return qint64(quint8(bytes.at(i))); };
    return (b(0) << 21) + (b(1) << 14) + (b(2) << 7) + b(3);
}

QByteArray TID3v2Tag::IntToSyncsafe(qint64 n)
{
    QByteArray out(4, '\0');
    out[0] = char((n >> 21) & 0x7F);
    out[1] = char((n >> 14) & 0x7F);
    out[2] = char((n >> 7) & 0x7F);
    out[3] = char(n & 0x7F);
    return out;
}

bool TID3v2Tag::ValidFrameIDChars(const QByteArray &id)
{
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

QString TID3v2Tag::GetTempTagFileName()
{
    const QString folder = TempOrdner();
    for (quint32 n = 0; n < 0x1000000; ++n) {
        const QString name =
            folder + QStringLiteral("TagTemp.t") + QString::number(n, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
    return folder + QStringLiteral("TagTemp.t00");
}

qint64 TID3v2Tag::GetPaddingSize(const QString &Filename, bool Clustered, qint64 Total)
{
    qint64 cluster = 2048;
    // A name without a folder from the root has no drive of its own to ask.
    if (Clustered && !Filename.isEmpty() && QDir::isAbsolutePath(Filename)) {
        struct statvfs st {};
        if (statvfs(QFile::encodeName(Filename).constData(), &st) == 0 ||
            statvfs(QFile::encodeName(QFileInfo(Filename).absolutePath()).constData(), &st) == 0) {
            const qint64 size = st.f_frsize != 0 ? qint64(st.f_frsize) : qint64(st.f_bsize);
            if (size > 0)
                cluster = size;
        }
    }
    return cluster * (Total / cluster + 1) - Total;
}

// ---------------------------------------------------------------------------------------------
// Reading

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

// ---------------------------------------------------------------------------------------------
// Writing and removing
//
// The target is never the only place that holds the user's audio: a rewrite first copies the
// whole file into a temporary file, reserves the target's new length, and only then overwrites
// it. Whatever fails after that is undone from the copy, so the file stays as it was.

TMP3Error TID3v2Tag::WriteTag(QIODevice &Stream)
{
    if (fFrames.empty())
        SetTitle(QStringLiteral(" "));

    TempTagFile tagFile;
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
            written = written && (fFlgUnsynch ? frame->WriteUnsyncedToStream(tagFile.file)
                                              : frame->WriteToStream(tagFile.file));
    }
    if (!written || !flushed(tagFile.file))
        return MP3ERR_SWrite;
    const qint64 newSize = tagFile.file.size();

    TID3v2Tag probe;
    probe.ReadHeader(Stream);
    const qint64 length = Stream.size();
    // A header that claims more than the file holds is no tag to replace: the bytes it would
    // cover may be the audio.
    const qint64 old = probe.fExists && probe.fTagSize <= length ? probe.fTagSize : 0;
    const bool inPlace = fUsePadding && newSize + 30 < old && old <= newSize + 512000;

    TempTagFile backup;
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
        if (!seekTo(Stream, 0) || copyBytes(Stream, backup.file, length) != Copy::Ok || !flushed(backup.file))
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
    UndoChange undo(inPlace ? static_cast<QIODevice &>(oldTag) : backup.file, Stream, length,
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
        const Copy c = copyBytes(tagFile.file, Stream, newSize);
        if (c == Copy::ReadFailed)
            result = MP3ERR_FOpenR;
        else if (c == Copy::WriteFailed || !writeZeros(Stream, padding))
            result = MP3ERR_SWrite;
    }
    if (result == MP3ERR_None && !inPlace) {
        if (!backup.file.seek(old)) {
            result = MP3ERR_FOpenR;
        } else {
            if (copyBytes(backup.file, Stream, audio) != Copy::Ok)
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
    TID3v2Tag probe;
    probe.ReadHeader(Stream);
    const qint64 length = Stream.size();
    if (!probe.fExists || probe.fTagSize > length)
        return ID3ERR_NoTag;
    const qint64 old = probe.fTagSize;

    TempTagFile backup;
    if (!backup.create())
        return MP3ERR_FOpenCrt;
    if (!seekTo(Stream, 0) || copyBytes(Stream, backup.file, length) != Copy::Ok || !flushed(backup.file))
        return ID3ERR_Cache;

    const qint64 rest = length - old;
    UndoChange undo(backup.file, Stream, length, &backup);
    TMP3Error result = MP3ERR_None;
    if (!seekTo(Stream, 0) || !backup.file.seek(old)) {
        result = ID3ERR_Cache;
    } else {
        const Copy c = copyBytes(backup.file, Stream, rest);
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

// ---------------------------------------------------------------------------------------------
// Frames and fields

QByteArray TID3v2Tag::GetFrameIDString(TFrameIDs FrameID) const
{
    return ID3v2FrameIDString(FrameID, fVersion.Major);
}

template <typename Match>
int TID3v2Tag::FindFrame(TFrameIDs id, Match &&match) const
{
    const QByteArray wanted = GetFrameIDString(id);
    if (wanted.isEmpty())
        return -1;
    for (std::size_t i = 0; i < fFrames.size(); ++i)
        if (fFrames[i]->FrameIDString() == wanted && match(*fFrames[i]))
            return int(i);
    return -1;
}

int TID3v2Tag::GetFrameIndex(TFrameIDs FrameID) const
{
    return FindFrame(FrameID, [](const TID3v2Frame &) { return true; });
}

bool TID3v2Tag::IsTextFrameID(const QByteArray &id)
{
    return id.size() >= 3 && id.at(0) == 'T';
}

TID3v2Frame *TID3v2Tag::AppendFrame(TFrameIDs id, bool withTagSettings)
{
    auto frame = std::make_unique<TID3v2Frame>(GetFrameIDString(id), fVersion.Major);
    if (withTagSettings) {
        frame->SetAlwaysWriteUnicode(fAlwaysWriteUnicode);
        frame->SetCharCode(fCharCode);
        frame->SetAutoCorrectCodepage(fAutoCorrectCodepage);
    }
    fFrames.push_back(std::move(frame));
    return fFrames.back().get();
}

void TID3v2Tag::DeleteFrameAt(int index)
{
    fFrames.erase(fFrames.begin() + index);
}

template <typename Setter>
void TID3v2Tag::ChangeFrame(int index, TFrameIDs newID, bool empty, Setter &&set)
{
    if (index >= 0) {
        if (empty)
            DeleteFrameAt(index);
        else
            set(*fFrames[index]);
    } else if (!empty) {
        set(*AppendFrame(newID, true));
    }
}

QString TID3v2Tag::GetText(TFrameIDs FrameID) const
{
    const int i = GetFrameIndex(FrameID);
    return i < 0 ? QString() : fFrames[i]->GetText();
}

void TID3v2Tag::SetText(TFrameIDs FrameID, const QString &Value)
{
    if (!IsTextFrameID(GetFrameIDString(FrameID)))
        return;
    ChangeFrame(GetFrameIndex(FrameID), FrameID, Value.isEmpty(), [&](TID3v2Frame &f) { f.SetText(Value); });
}

QByteArray TID3v2Tag::GetURL(TFrameIDs FrameID) const
{
    const int i = GetFrameIndex(FrameID);
    return i < 0 ? QByteArray() : fFrames[i]->GetURL();
}

void TID3v2Tag::SetURL(TFrameIDs FrameID, const QByteArray &Value)
{
    if (!ValidFrameIDChars(GetFrameIDString(FrameID)))
        return;
    ChangeFrame(GetFrameIndex(FrameID), FrameID, Value.isEmpty(), [&](TID3v2Frame &f) { f.SetURL(Value); });
}

QString TID3v2Tag::Genre() const
{
    return ParseGenreText(GetText(IDv2_GENRE));
}

void TID3v2Tag::SetGenre(const QString &v)
{
    SetText(IDv2_GENRE, BuildGenreText(v));
}

QString TID3v2Tag::BuildGenreText(const QString &value)
{
    const int i = value.isEmpty() ? -1 : ID3GenreIndex(value);
    return i >= 0 ? QLatin1Char('(') + QString::number(i) + QLatin1Char(')') + value : value;
}

QString TID3v2Tag::ParseGenreText(const QString &stored)
{
    const qsizetype a = stored.indexOf(QLatin1Char('(')) + 1;
    const qsizetype b = stored.indexOf(QLatin1Char(')')) + 1;
    if (a < b) {
        bool ok = false;
        int n = stored.mid(a, b - a - 1).toInt(&ok);
        if (!ok)
            n = 255;
        n &= 0xFF;
        const QStringList &genres = ID3GenreList();
        if (n < genres.size())
            return genres.at(n);
    }
    return stored;
}

void TID3v2Tag::SetYear(const QString &v)
{
    const QString t = TrimBlanks(v);
    bool ok = false;
    int n = t.toInt(&ok);
    if (!ok)
        n = 0;
    SetText(IDv2_YEAR, (n <= 0 || n > 9999) ? QString() : t.rightJustified(4, QLatin1Char('0')));
}

int TID3v2Tag::GetUserTextFrameIndex(const QString &Description) const
{
    for (std::size_t i = 0; i < fFrames.size(); ++i) {
        if (fFrames[i]->FrameType() != FT_UserTextFrame)
            continue;
        QString stored;
        fFrames[i]->GetUserText(stored);
        if (stored.compare(Description, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString TID3v2Tag::GetUserText(const QString &Description) const
{
    const int i = GetUserTextFrameIndex(Description);
    QString ignored;
    return i < 0 ? QString() : fFrames[i]->GetUserText(ignored);
}

void TID3v2Tag::SetUserText(const QString &Description, const QString &Value)
{
    ChangeFrame(GetUserTextFrameIndex(Description), IDv2_USERDEFINEDTEXT, Value.isEmpty(),
                [&](TID3v2Frame &f) { f.SetUserText(Description, Value); });
}

int TID3v2Tag::GetCommentLyricFrameIndex(TFrameIDs FrameID, const QByteArray &Language,
                                         const QString &Description) const
{
    return FindFrame(FrameID, [&](const TID3v2Frame &f) {
        QByteArray language;
        QString description;
        f.GetCommentsLyrics(language, description);
        return (Language == "*" || Language.isEmpty() || Language == language) &&
               (Description == QLatin1String("*") || Description == description);
    });
}

QString TID3v2Tag::GetCommentLyric(TFrameIDs FrameID, const QByteArray &Language, const QString &Description) const
{
    const int i = GetCommentLyricFrameIndex(FrameID, Language, Description);
    QByteArray language;
    QString description;
    return i < 0 ? QString() : fFrames[i]->GetCommentsLyrics(language, description);
}

void TID3v2Tag::SetCommentLyric(TFrameIDs FrameID, QByteArray Language, const QString &Value,
                                const QString &Description)
{
    if (!ValidFrameIDChars(GetFrameIDString(FrameID)))
        return;
    if (Language != "*" && Language.size() != 3)
        Language = "eng";
    ChangeFrame(GetCommentLyricFrameIndex(FrameID, Language, Description), FrameID, Value.isEmpty(),
                [&](TID3v2Frame &f) { f.SetCommentsLyrics(Language, Description, Value); });
}

QString TID3v2Tag::GetExtendedComment(const QByteArray &Language, const QString &Description) const
{
    return GetCommentLyric(IDv2_COMMENT, Language, Description);
}

void TID3v2Tag::SetExtendedComment(const QByteArray &Language, const QString &Description, const QString &value)
{
    SetCommentLyric(IDv2_COMMENT, Language, value, Description);
}

QString TID3v2Tag::GetLyrics(const QByteArray &Language, const QString &Description) const
{
    return GetCommentLyric(IDv2_LYRICS, Language, Description);
}

void TID3v2Tag::SetLyrics(const QByteArray &Language, const QString &Description, const QString &value)
{
    SetCommentLyric(IDv2_LYRICS, Language, value, Description);
}

int TID3v2Tag::GetPictureFrameIndex(const QString &Description) const
{
    return FindFrame(IDv2_PICTURE, [&](const TID3v2Frame &f) {
        QByteArray mime;
        quint8 type = 0;
        QString description;
        f.GetPicture(mime, type, description, nullptr);
        return Description == QLatin1String("*") || description == Description;
    });
}

QByteArray TID3v2Tag::GetPicture(QIODevice *stream, const QString &Description) const
{
    const int i = GetPictureFrameIndex(Description);
    if (i < 0)
        return {};
    QByteArray mime;
    quint8 type = 0;
    QString description;
    fFrames[i]->GetPicture(mime, type, description, stream);
    return mime;
}

void TID3v2Tag::SetPicture(const QByteArray &MimeTyp, quint8 PicType, const QString &Description, QIODevice *stream)
{
    const int i = GetPictureFrameIndex(Description);
    const bool star = Description == QLatin1String("*");
    if (i >= 0) {
        TID3v2Frame &frame = *fFrames[i];
        if (stream == nullptr) {
            DeleteFrameAt(i);
        } else if (!star && MimeTyp != "*" && stream->size() > 0) {
            frame.SetPicture(MimeTyp, PicType, Description, stream);
        } else {
            QByteArray mime;
            quint8 type = 0;
            QString description;
            QBuffer current;
            current.open(QIODevice::ReadWrite);
            frame.GetPicture(mime, type, description, &current);
            if (!star)
                description = Description;
            if (MimeTyp != "*")
                mime = MimeTyp;
            if (stream->size() == 0)
                stream->write(current.data());
            frame.SetPicture(mime, PicType, description, stream);
        }
    } else if (stream != nullptr && stream->size() > 0) {
        AppendFrame(IDv2_PICTURE, true)
            ->SetPicture(MimeTyp == "*" ? QByteArray("image/jpeg") : MimeTyp, PicType, star ? QString() : Description,
                         stream);
    }
}

int TID3v2Tag::GetUserDefinedURLFrameIndex(const QString &Description) const
{
    return FindFrame(IDv2_USERDEFINEDURL, [&](const TID3v2Frame &f) {
        QString description;
        f.GetUserdefinedURL(description);
        return description == Description;
    });
}

QByteArray TID3v2Tag::GetUserDefinedURL(const QString &Description) const
{
    const int i = GetUserDefinedURLFrameIndex(Description);
    QString ignored;
    return i < 0 ? QByteArray() : fFrames[i]->GetUserdefinedURL(ignored);
}

void TID3v2Tag::SetUserDefinedURL(const QString &Description, const QByteArray &Value)
{
    ChangeFrame(GetUserDefinedURLFrameIndex(Description), IDv2_USERDEFINEDURL, Value.isEmpty(),
                [&](TID3v2Frame &f) { f.SetUserdefinedURL(Description, Value); });
}

int TID3v2Tag::GetPopularimeterFrameIndex(const QByteArray &aEMail) const
{
    return FindFrame(IDv2_RATING, [&](const TID3v2Frame &f) {
        QByteArray email;
        f.GetRating(email);
        return aEMail == "*" || email == aEMail;
    });
}

quint8 TID3v2Tag::GetRating(const QByteArray &aEMail) const
{
    const int i = GetPopularimeterFrameIndex(aEMail);
    QByteArray ignored;
    return i < 0 ? 0 : fFrames[i]->GetRating(ignored);
}

quint32 TID3v2Tag::GetPersonalPlayCounter(const QByteArray &aEMail) const
{
    const int i = GetPopularimeterFrameIndex(aEMail);
    QByteArray ignored;
    return i < 0 ? 0 : fFrames[i]->GetPersonalPlayCounter(ignored);
}

void TID3v2Tag::SetRatingAndCounter(const QByteArray &aEMail, qint32 aRating, qint32 aCounter)
{
    const quint8 rating = aRating < 0 ? 0 : quint8(aRating & 0xFF);
    const quint32 counter = aCounter < 0 ? 0 : quint32(aCounter);
    const int i = GetPopularimeterFrameIndex(aEMail);
    if (i < 0) {
        const QByteArray email = aEMail == "*" ? DefaultRatingOwner : aEMail;
        TID3v2Frame *frame = AppendFrame(IDv2_RATING, true);
        if (aRating != -1)
            frame->SetRating(email, rating);
        if (aCounter != -1)
            frame->SetPersonalPlayCounter(email, counter);
        return;
    }
    TID3v2Frame &frame = *fFrames[i];
    QByteArray current;
    const quint8 r = frame.GetRating(current);
    const quint32 c = frame.GetPersonalPlayCounter(current);
    if ((aRating == 0 && aCounter == 0) || (aRating == 0 && aCounter == -1 && c == 0) ||
        (aRating == -1 && r == 0 && aCounter == 0)) {
        DeleteFrameAt(i);
        return;
    }
    const QByteArray email = aEMail == "*" ? current : aEMail;
    if (aRating != -1)
        frame.SetRating(email, rating);
    if (aCounter != -1)
        frame.SetPersonalPlayCounter(email, counter);
}

int TID3v2Tag::GetPrivateFrameIndex(const QByteArray &aOwnerID) const
{
    return FindFrame(IDv2_PRIVATE, [&](const TID3v2Frame &f) {
        QByteArray owner;
        f.GetPrivateFrame(owner, nullptr);
        return owner == aOwnerID;
    });
}

bool TID3v2Tag::GetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Content) const
{
    const int i = GetPrivateFrameIndex(aOwnerID);
    QByteArray owner;
    return i >= 0 && fFrames[i]->GetPrivateFrame(owner, Content);
}

void TID3v2Tag::SetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Content)
{
    ChangeFrame(GetPrivateFrameIndex(aOwnerID), IDv2_PRIVATE, Content == nullptr || Content->size() == 0,
                [&](TID3v2Frame &f) { f.SetPrivateFrame(aOwnerID, Content); });
}

TID3v2Tag::TFrameList TID3v2Tag::FramesOfType(TID3v2FrameTypes type) const
{
    TFrameList list;
    for (const auto &frame : fFrames)
        if (frame->FrameType() == type)
            list.append(frame.get());
    return list;
}

TID3v2Tag::TFrameList TID3v2Tag::FramesWithID(TFrameIDs id) const
{
    TFrameList list;
    const QByteArray wanted = GetFrameIDString(id);
    for (const auto &frame : fFrames)
        if (!wanted.isEmpty() && frame->FrameIDString() == wanted)
            list.append(frame.get());
    return list;
}

TID3v2Tag::TFrameList TID3v2Tag::GetAllFrames() const
{
    TFrameList list;
    for (const auto &frame : fFrames)
        list.append(frame.get());
    return list;
}

void TID3v2Tag::GetAllFrames(TFrameList &aList) const { aList = GetAllFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllTextFrames() const { return FramesOfType(FT_TextFrame); }
void TID3v2Tag::GetAllTextFrames(TFrameList &aList) const { aList = GetAllTextFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllUserTextFrames() const { return FramesOfType(FT_UserTextFrame); }
void TID3v2Tag::GetAllUserTextFrames(TFrameList &aList) const { aList = GetAllUserTextFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllURLFrames() const { return FramesOfType(FT_URLFrame); }
void TID3v2Tag::GetAllURLFrames(TFrameList &aList) const { aList = GetAllURLFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllCommentFrames() const { return FramesWithID(IDv2_COMMENT); }
void TID3v2Tag::GetAllCommentFrames(TFrameList &aList) const { aList = GetAllCommentFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllLyricFrames() const { return FramesWithID(IDv2_LYRICS); }
void TID3v2Tag::GetAllLyricFrames(TFrameList &aList) const { aList = GetAllLyricFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllUserDefinedURLFrames() const { return FramesWithID(IDv2_USERDEFINEDURL); }
void TID3v2Tag::GetAllUserDefinedURLFrames(TFrameList &aList) const { aList = GetAllUserDefinedURLFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllPictureFrames() const { return FramesWithID(IDv2_PICTURE); }
void TID3v2Tag::GetAllPictureFrames(TFrameList &aList) const { aList = GetAllPictureFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllPopularimeterFrames() const { return FramesWithID(IDv2_RATING); }
void TID3v2Tag::GetAllPopularimeterFrames(TFrameList &aList) const { aList = GetAllPopularimeterFrames(); }
TID3v2Tag::TFrameList TID3v2Tag::GetAllPrivateFrames() const { return FramesWithID(IDv2_PRIVATE); }
void TID3v2Tag::GetAllPrivateFrames(TFrameList &aList) const { aList = GetAllPrivateFrames(); }

bool TID3v2Tag::ValidNewCommentFrame(const QByteArray &Language, const QString &Description) const
{
    return GetCommentLyricFrameIndex(IDv2_COMMENT, Language, Description) < 0;
}

bool TID3v2Tag::ValidNewLyricFrame(const QByteArray &Language, const QString &Description) const
{
    return GetCommentLyricFrameIndex(IDv2_LYRICS, Language, Description) < 0;
}

bool TID3v2Tag::ValidNewPictureFrame(const QString &Description) const
{
    return GetPictureFrameIndex(Description) < 0;
}

bool TID3v2Tag::ValidNewUserDefUrlFrame(const QString &Description) const
{
    return GetUserDefinedURLFrameIndex(Description) < 0;
}

bool TID3v2Tag::ValidNewPopularimeterFrame(const QByteArray &EMail) const
{
    return GetPopularimeterFrameIndex(EMail) < 0;
}

static QList<TFrameIDs> allowedFrames(const TID3v2Tag &tag, TFrameIDs first, TFrameIDs last)
{
    QList<TFrameIDs> list;
    const int version = tag.Version().Major;
    for (int id = first; id <= last; ++id) {
        const QByteArray s = ID3v2FrameIDString(TFrameIDs(id), version);
        if (s.isEmpty() || s.startsWith('-'))
            continue;
        bool present = false;
        for (const auto &frame : tag.Frames())
            present = present || frame->FrameIDString() == s;
        if (!present)
            list.append(TFrameIDs(id));
    }
    return list;
}

QList<TFrameIDs> TID3v2Tag::GetAllowedTextFrames() const
{
    return allowedFrames(*this, IDv2_ARTIST, IDv2_SETSUBTITLE);
}

QList<TFrameIDs> TID3v2Tag::GetAllowedURLFrames() const
{
    return allowedFrames(*this, IDv2_AUDIOFILEURL, IDv2_PAYMENTURL);
}

TID3v2Frame *TID3v2Tag::AddFrame(TFrameIDs aID)
{
    return AppendFrame(aID, false);
}

void TID3v2Tag::DeleteFrame(TID3v2Frame *aFrame)
{
    for (std::size_t i = 0; i < fFrames.size(); ++i)
        if (fFrames[i].get() == aFrame) {
            DeleteFrameAt(int(i));
            return;
        }
}

void TID3v2Tag::SetCharCode(const TCodePage &Value)
{
    fCharCode = Value;
    for (const auto &frame : fFrames)
        frame->SetCharCode(Value);
}

void TID3v2Tag::SetAutoCorrectCodepage(bool Value)
{
    fAutoCorrectCodepage = Value;
    for (const auto &frame : fFrames)
        frame->SetAutoCorrectCodepage(Value);
}
