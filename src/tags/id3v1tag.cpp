#include "tags/id3v1tag.h"

#include "tags/errorreporter.h"
#include "tags/id3genres.h"
#include "tags/id3v2frame.h"

#include <QFile>
#include <QFileInfo>
#include <exception>
#include <stdexcept>

namespace {

constexpr qint64 kTagSize = 128;
constexpr qsizetype kFieldSize = 30;
constexpr int kHighestGenre = 125;
constexpr quint8 kNoGenre = 255;

QByteArray nulField(qsizetype size)
{
    return QByteArray(size, '\0');
}

bool isTagStart(const QByteArray &bytes)
{
    return bytes.startsWith("TAG");
}

// Reads the three bytes where a tag would begin; empty when the stream is too short.
QByteArray readTagStart(QIODevice &stream, qint64 size)
{
    if (size < kTagSize || !stream.seek(size - kTagSize))
        return {};
    return stream.read(3);
}

template <typename Operation>
TMP3Error guarded(Operation operation)
{
    try {
        return operation();
    } catch (const std::exception &e) {
        ReportError(QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("Error"), QStringLiteral("Unknown error"));
    }
    return ID3ERR_Unclassified;
}

// Neither a missing name nor a directory or device may get as far as open(), which would
// block on a FIFO.
template <typename Operation>
TMP3Error onFile(const QString &name, QIODevice::OpenMode mode, TMP3Error openError, Operation operation)
{
    QFile file(name);
    const QFileInfo info(name);
    if (!info.exists())
        return MP3ERR_NoFile;
    if (!info.isFile() || !file.open(mode))
        return openError;
    return operation(file);
}

} // namespace

TID3v1Tag::TID3v1Tag()
{
    Clear();
}

void TID3v1Tag::Clear()
{
    FTitle = nulField(kFieldSize);
    FArtist = nulField(kFieldSize);
    FAlbum = nulField(kFieldSize);
    FComment = nulField(kFieldSize);
    FYear = nulField(4);
    FTrack = 0;
    FGenre = 0;
    FVersion = 0;
    FExists = false;
}

QString TID3v1Tag::FieldText(const QByteArray &Field) const
{
    const QString text = BytesToText(FCharCode, fAutoCorrectCodepage, Field);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

void TID3v1Tag::SetFieldText(QByteArray &Field, const QString &Value) const
{
    Field = nulField(kFieldSize);
    const QByteArray bytes = TextToBytes(FCharCode, fAutoCorrectCodepage, Value);
    Field.replace(0, qMin(bytes.size(), kFieldSize), bytes.left(kFieldSize));
}

QString TID3v1Tag::Genre() const
{
    if (FGenre <= kHighestGenre)
        return ID3GenreList().value(FGenre);
    return {};
}

void TID3v1Tag::SetGenre(const QString &Value)
{
    const int index = ID3GenreIndex(Value);
    FGenre = (index < 0 || index > kHighestGenre) ? kNoGenre : static_cast<quint8>(index);
}

QString TID3v1Tag::Track() const
{
    return QString::number(FTrack);
}

void TID3v1Tag::SetTrack(const QString &Value)
{
    bool ok = false;
    const int number = Value.toInt(&ok, 10);
    FTrack = ok ? static_cast<quint8>(number & 0xFF) : 0;
}

TMP3Error TID3v1Tag::ReadFromStream(QIODevice &Stream)
{
    const TMP3Error result = guarded([&] { return DoRead(Stream); });
    if (result != MP3ERR_None) {
        Clear();
        FExists = false;
    }
    return result;
}

TMP3Error TID3v1Tag::WriteToStream(QIODevice &Stream)
{
    return guarded([&] { return DoWrite(Stream); });
}

TMP3Error TID3v1Tag::RemoveFromStream(QIODevice &Stream)
{
    return guarded([&] { return DoRemove(Stream); });
}

TMP3Error TID3v1Tag::DoRead(QIODevice &Stream)
{
    Clear();
    const qint64 size = Stream.size();
    if (size < kTagSize || !Stream.seek(size - kTagSize))
        return MP3ERR_SRead;
    const QByteArray tag = Stream.read(kTagSize);
    if (tag.size() < kTagSize)
        return MP3ERR_SRead;
    if (!isTagStart(tag))
        return ID3ERR_NoTag;

    FExists = true;
    FVersion = (tag[125] == '\0' && tag[126] != '\0') ? 1 : 0;
    FTitle = tag.mid(3, kFieldSize);
    FArtist = tag.mid(33, kFieldSize);
    FAlbum = tag.mid(63, kFieldSize);
    FYear = tag.mid(93, 4);
    if (FVersion == 0) {
        FComment = tag.mid(97, kFieldSize);
        FTrack = 0;
    } else {
        FComment = tag.mid(97, 28) + nulField(2);
        FTrack = static_cast<quint8>(tag[126]);
    }
    FGenre = static_cast<quint8>(tag[127]);
    return MP3ERR_None;
}

TMP3Error TID3v1Tag::DoWrite(QIODevice &Stream)
{
    QByteArray tag = nulField(kTagSize);
    tag.replace(0, 3, "TAG");
    tag.replace(3, FTitle.size(), FTitle);
    tag.replace(33, FArtist.size(), FArtist);
    tag.replace(63, FAlbum.size(), FAlbum);
    tag.replace(93, FYear.size(), FYear);
    tag.replace(97, FComment.size(), FComment);
    if (FTrack != 0) {
        tag[125] = '\0';
        tag[126] = static_cast<char>(FTrack);
    }
    tag[127] = static_cast<char>(FGenre);
    tag.truncate(kTagSize);

    const qint64 size = Stream.size();
    const qint64 at = isTagStart(readTagStart(Stream, size)) ? size - kTagSize : size;
    if (!Stream.seek(at))
        return MP3ERR_SWrite;
    auto *file = qobject_cast<QFileDevice *>(&Stream);
    if (Stream.write(tag) == kTagSize && (!file || file->flush()))
        return MP3ERR_None;
    // A tag that did not fit on the disk is cut off again, so no broken tag stays at the end.
    if (at == size && file) {
        file->flush();
        file->resize(size);
    }
    return MP3ERR_SWrite;
}

TMP3Error TID3v1Tag::DoRemove(QIODevice &Stream)
{
    const qint64 size = Stream.size();
    if (!isTagStart(readTagStart(Stream, size)))
        return ID3ERR_NoTag;
    if (!Stream.seek(size - kTagSize))
        throw std::runtime_error("Seek error");
    SetStreamEnd(Stream);
    // A file that could not be cut still holds its tag.
    if (auto *file = qobject_cast<QFileDevice *>(&Stream); file && file->size() != size - kTagSize)
        throw std::runtime_error(file->errorString().toStdString());
    return MP3ERR_None;
}

TMP3Error TID3v1Tag::ReadFromFile(const QString &Filename)
{
    Clear();
    return onFile(Filename, QIODevice::ReadOnly, MP3ERR_FOpenR,
                  [this](QFile &file) { return ReadFromStream(file); });
}

TMP3Error TID3v1Tag::WriteToFile(const QString &Filename)
{
    return onFile(Filename, QIODevice::ReadWrite | QIODevice::Unbuffered, MP3ERR_FOpenRW,
                  [this](QFile &file) { return WriteToStream(file); });
}

TMP3Error TID3v1Tag::RemoveFromFile(const QString &Filename)
{
    return onFile(Filename, QIODevice::ReadWrite, MP3ERR_FOpenRW,
                  [this](QFile &file) { return RemoveFromStream(file); });
}
