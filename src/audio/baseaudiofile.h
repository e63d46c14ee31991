#pragma once

#include <QString>
#include <QtGlobal>

// Result of the audio file operations. The numbers are fixed: callers compare them.
enum TAudioError {
    FileErr_None,
    FileErr_NoFile,
    FileErr_FileCreate,
    FileErr_FileOpenR,
    FileErr_FileOpenRW,
    FileErr_ReadOnly,
    MP3ERR_StreamRead,
    MP3ERR_StreamWrite,
    Mp3ERR_Cache,
    Mp3ERR_NoTag,
    MP3ERR_Invalid_Header,
    Mp3ERR_Compression,
    Mp3ERR_Unclassified,
    MP3ERR_NoMpegFrame
    // 14 to 47 belong to other audio formats, which this program does not handle.
};

// One audio file: its size, audio facts and tag texts.
class TBaseAudioFile {
public:
    virtual ~TBaseAudioFile() = default;

    virtual qint64 FileSize() const = 0;
    virtual qint32 Duration() const = 0;
    qint32 Dauer() const { return Duration(); }
    virtual qint32 Bitrate() const = 0;
    virtual qint32 Samplerate() const = 0;
    virtual qint32 Channels() const = 0;
    virtual bool Valid() const = 0;

    virtual QString Title() const = 0;
    virtual QString Artist() const = 0;
    virtual QString Album() const = 0;
    virtual QString Year() const = 0;
    virtual QString Track() const = 0;
    virtual QString Genre() const = 0;

    virtual void SetTitle(const QString &Value) = 0;
    virtual void SetArtist(const QString &Value) = 0;
    virtual void SetAlbum(const QString &Value) = 0;
    virtual void SetYear(const QString &Value) = 0;
    virtual void SetTrack(const QString &Value) = 0;
    virtual void SetGenre(const QString &Value) = 0;

    virtual TAudioError ReadFromFile(const QString &aFilename) = 0;
    virtual TAudioError WriteToFile(const QString &aFilename) = 0;
    virtual TAudioError RemoveFromFile(const QString &aFilename) = 0;

protected:
    qint64 fFileSize = 0;
    qint32 fDuration = 0;
    qint32 fBitrate = 0;
    qint32 fSamplerate = 0;
    qint32 fChannels = 0;
    bool fValid = false;
};
