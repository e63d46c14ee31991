#pragma once

#include "audio/baseaudiofile.h"
#include "audio/mpeginfo.h"
#include "support/mp3error.h"

#include <memory>

class TID3v1Tag;
class TID3v2Tag;

enum TTagWriteMode { id3_both, id3_v1, id3_v2, id3_existing };
enum TTagDefaultMode { id3_def_both, id3_def_v1, id3_def_v2 };
enum TTagDeleteMode { id3_del_both, id3_del_v1, id3_del_v2 };

// The tag library's result as an audio file result: the same number, except that 5 becomes 4
// and anything unknown becomes Mp3ERR_Unclassified.
TAudioError MP3ToAudioError(TMP3Error aError);

// An MP3 file: its first MPEG frame's facts and its ID3v1 and ID3v2 tags. Text fields read from
// the ID3v2 tag, falling back to the ID3v1 tag, and are written to both.
class TMP3File : public TBaseAudioFile {
public:
    TMP3File();
    ~TMP3File() override;
    TMP3File(const TMP3File &) = delete;
    TMP3File &operator=(const TMP3File &) = delete;

    // Empties both tags and the facts; the modes stay.
    void Clear();

    qint64 FileSize() const override { return fFileSize; }
    qint32 Duration() const override { return fDuration; }
    qint32 Bitrate() const override { return fBitrate; }
    qint32 Samplerate() const override { return fSamplerate; }
    qint32 Channels() const override { return fChannels; }
    bool Valid() const override { return fValid; }

    QString Title() const override;
    QString Artist() const override;
    QString Album() const override;
    QString Year() const override;
    QString Track() const override;
    QString Genre() const override;
    QString Comment() const;

    void SetTitle(const QString &Value) override;
    void SetArtist(const QString &Value) override;
    void SetAlbum(const QString &Value) override;
    void SetYear(const QString &Value) override;
    void SetTrack(const QString &Value) override;
    void SetGenre(const QString &Value) override;
    void SetComment(const QString &Value);

    // Reads size, audio facts and both tags. The result is that of the ID3v2 read
    // (Mp3ERR_NoTag for a file without one); whether audio was found is told by Valid().
    TAudioError ReadFromFile(const QString &aFilename) override;
    // Writes the tags as TagWriteMode says.
    TAudioError WriteToFile(const QString &aFilename) override;
    // Removes the tags as TagDeleteMode says.
    TAudioError RemoveFromFile(const QString &aFilename) override;

    TID3v1Tag &ID3v1Tag() const { return *fID3v1Tag; }
    TID3v2Tag &ID3v2Tag() const { return *fID3v2Tag; }
    const TMpegInfo &MpegInfo() const { return *fMpegInfo; }
    qint64 ID3v1TagSize() const;
    qint64 ID3v2TagSize() const;

    TTagWriteMode TagWriteMode() const { return fTagWriteMode; }
    void SetTagWriteMode(TTagWriteMode Value) { fTagWriteMode = Value; }
    TTagDefaultMode TagDefaultMode() const { return fTagDefaultMode; }
    void SetTagDefaultMode(TTagDefaultMode Value) { fTagDefaultMode = Value; }
    TTagDeleteMode TagDeleteMode() const { return fTagDeleteMode; }
    void SetTagDeleteMode(TTagDeleteMode Value) { fTagDeleteMode = Value; }

private:
    TMP3Error WriteBoth(const QString &aFilename);

    std::unique_ptr<TID3v1Tag> fID3v1Tag;
    std::unique_ptr<TID3v2Tag> fID3v2Tag;
    std::unique_ptr<TMpegInfo> fMpegInfo;
    TTagWriteMode fTagWriteMode = id3_existing;
    TTagDefaultMode fTagDefaultMode = id3_def_both;
    TTagDeleteMode fTagDeleteMode = id3_del_both;
};
