#include "audio/mp3file.h"

#include "tags/codepage.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QFile>
#include <QFileInfo>

TAudioError MP3ToAudioError(TMP3Error aError)
{
    if (aError == MP3ERR_FOpenW)
        return FileErr_FileOpenRW;
    if (aError < MP3ERR_None || aError > MPEGERR_NoFrame)
        return Mp3ERR_Unclassified;
    return static_cast<TAudioError>(aError);
}

namespace {

// The text of the ID3v2 tag, or of the ID3v1 tag when that is empty.
QString either(const QString &v2, const QString &v1)
{
    return v2.isEmpty() ? v1 : v2;
}

// Of two results in a row, an earlier real failure must not be hidden by a later success.
TMP3Error later(TMP3Error first, TMP3Error second)
{
    return first == MP3ERR_None || first == ID3ERR_NoTag ? second : first;
}

} // namespace

TMP3File::TMP3File()
    : fID3v1Tag(std::make_unique<TID3v1Tag>()), fID3v2Tag(std::make_unique<TID3v2Tag>()),
      fMpegInfo(std::make_unique<TMpegInfo>())
{
}

TMP3File::~TMP3File() = default;

void TMP3File::Clear()
{
    fID3v1Tag->Clear();
    fID3v2Tag->Clear();
    fFileSize = 0;
    fDuration = 0;
    fBitrate = 0;
    fSamplerate = 0;
    fChannels = 0;
    fValid = false;
}

QString TMP3File::Title() const
{
    return either(fID3v2Tag->Title(), fID3v1Tag->Title());
}

QString TMP3File::Artist() const
{
    return either(fID3v2Tag->Artist(), fID3v1Tag->Artist());
}

QString TMP3File::Album() const
{
    return either(fID3v2Tag->Album(), fID3v1Tag->Album());
}

QString TMP3File::Year() const
{
    // The ID3v1 year is four bytes as stored; a tag without a year holds NUL bytes there.
    return either(fID3v2Tag->Year(), AnsiToText(fID3v1Tag->Year()).remove(QChar(0)).trimmed());
}

QString TMP3File::Track() const
{
    return either(fID3v2Tag->Track(), fID3v1Tag->Track());
}

QString TMP3File::Genre() const
{
    // A missing ID3v1 tag reads as genre 0 ("Blues"), which no file without tags has.
    return either(fID3v2Tag->Genre(), fID3v1Tag->Exists() ? fID3v1Tag->Genre() : QString());
}

QString TMP3File::Comment() const
{
    return either(fID3v2Tag->Comment(), fID3v1Tag->Comment());
}

void TMP3File::SetTitle(const QString &Value)
{
    fID3v1Tag->SetTitle(Value);
    fID3v2Tag->SetTitle(Value);
}

void TMP3File::SetArtist(const QString &Value)
{
    fID3v1Tag->SetArtist(Value);
    fID3v2Tag->SetArtist(Value);
}

void TMP3File::SetAlbum(const QString &Value)
{
    fID3v1Tag->SetAlbum(Value);
    fID3v2Tag->SetAlbum(Value);
}

void TMP3File::SetYear(const QString &Value)
{
    fID3v1Tag->SetYear(TextToAnsi(Value.left(4)));
    fID3v2Tag->SetYear(Value);
}

void TMP3File::SetTrack(const QString &Value)
{
    fID3v1Tag->SetTrack(Value);
    fID3v2Tag->SetTrack(Value);
}

void TMP3File::SetGenre(const QString &Value)
{
    fID3v1Tag->SetGenre(Value);
    fID3v2Tag->SetGenre(Value);
}

void TMP3File::SetComment(const QString &Value)
{
    fID3v1Tag->SetComment(Value);
    fID3v2Tag->SetComment(Value);
}

qint64 TMP3File::ID3v1TagSize() const
{
    return fID3v1Tag->Exists() ? 128 : 0;
}

qint64 TMP3File::ID3v2TagSize() const
{
    return fID3v2Tag->Exists() ? fID3v2Tag->Size() : 0;
}

TAudioError TMP3File::ReadFromFile(const QString &aFilename)
{
    Clear();
    const QFileInfo info(aFilename);
    if (aFilename.isEmpty() || !info.exists() || info.isDir())
        return FileErr_NoFile;
    QFile file(aFilename);
    if (!file.open(QIODevice::ReadOnly))
        return FileErr_FileOpenR;
    fFileSize = file.size();

    fID3v1Tag->ReadFromStream(file);
    if (!file.seek(0))
        return FileErr_FileOpenR;
    const TMP3Error v2 = fID3v2Tag->ReadFromStream(file);
    if (!file.seek(fID3v2Tag->Exists() ? fID3v2Tag->Size() : 0))
        return FileErr_FileOpenR;

    const TMP3Error mpeg = fMpegInfo->LoadFromStream(file);
    if (mpeg != MP3ERR_None && mpeg != MPEGERR_NoFrame)
        return FileErr_FileOpenR;
    fValid = mpeg == MP3ERR_None;
    if (fValid) {
        fDuration = fMpegInfo->Dauer();
        fBitrate = fMpegInfo->Bitrate();
        fSamplerate = fMpegInfo->Samplerate();
        fChannels = fMpegInfo->Channelmode() == 3 ? 1 : 2;
    }
    return MP3ToAudioError(v2);
}

TMP3Error TMP3File::WriteBoth(const QString &aFilename)
{
    const TMP3Error r = fID3v1Tag->WriteToFile(aFilename);
    return r == MP3ERR_None ? fID3v2Tag->WriteToFile(aFilename) : r;
}

TAudioError TMP3File::WriteToFile(const QString &aFilename)
{
    TMP3Error r = MP3ERR_None;
    TTagWriteMode mode = fTagWriteMode;
    if (mode == id3_existing) {
        const bool v1 = fID3v1Tag->Exists();
        const bool v2 = fID3v2Tag->Exists();
        if (v1)
            r = fID3v1Tag->WriteToFile(aFilename);
        if (v2)
            r = later(r, fID3v2Tag->WriteToFile(aFilename));
        if (v1 || v2)
            return MP3ToAudioError(r);
        mode = fTagDefaultMode == id3_def_v1 ? id3_v1 : fTagDefaultMode == id3_def_v2 ? id3_v2 : id3_both;
    }
    switch (mode) {
    case id3_v1:
        r = fID3v1Tag->WriteToFile(aFilename);
        break;
    case id3_v2:
        r = fID3v2Tag->WriteToFile(aFilename);
        break;
    default:
        r = WriteBoth(aFilename);
        break;
    }
    return MP3ToAudioError(r);
}

TAudioError TMP3File::RemoveFromFile(const QString &aFilename)
{
    TMP3Error r = MP3ERR_None;
    switch (fTagDeleteMode) {
    case id3_del_v1:
        r = fID3v1Tag->RemoveFromFile(aFilename);
        break;
    case id3_del_v2:
        r = fID3v2Tag->RemoveFromFile(aFilename);
        break;
    default:
        r = fID3v1Tag->RemoveFromFile(aFilename);
        r = later(r, fID3v2Tag->RemoveFromFile(aFilename));
        break;
    }
    return MP3ToAudioError(r);
}
