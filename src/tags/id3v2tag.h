#pragma once

#include "support/mp3error.h"
#include "tags/codepage.h"
#include "tags/id3v2frame.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class TID3v1Tag;

struct TID3Version {
    quint8 Major = 3;
    quint8 Minor = 0;
};

// Owner of popularimeter frames the library adds without an e-mail of the caller's.
extern const QByteArray DefaultRatingOwner;

// One ID3v2 tag at the start of a file: its header facts and its frames.
class TID3v2Tag {
public:
    TID3v2Tag();
    ~TID3v2Tag();
    TID3v2Tag(const TID3v2Tag &) = delete;
    TID3v2Tag &operator=(const TID3v2Tag &) = delete;

    void Clear();

    // The tag is read from offset 0 whatever the stream's position.
    TMP3Error ReadFromStream(QIODevice &Stream);
    // The stream is a whole MP3 file opened for reading and writing.
    TMP3Error WriteToStream(QIODevice &Stream);
    // Removes the tag at offset 0; the object itself is not changed.
    TMP3Error RemoveFromStream(QIODevice &Stream);
    TMP3Error ReadFromFile(const QString &Filename);
    TMP3Error WriteToFile(const QString &Filename);
    // Writes this tag and then the ID3v1 tag into the file. When the file is rewritten, the new
    // file gets both at once, so that it never holds only one of them.
    TMP3Error WriteToFile(const QString &Filename, TID3v1Tag &AId3V1, TMP3Error &AV1Result);
    TMP3Error RemoveFromFile(const QString &Filename);

    bool Exists() const { return fExists; }
    bool TagExists() const { return fExists; }
    TID3Version Version() const { return fVersion; }
    qint64 Size() const { return fTagSize; }
    qint64 Padding() const { return fPaddingSize; }
    qint64 PaddingSize() const { return fPaddingSize; }
    qint64 DataSize() const { return fDataSize; }
    bool FlgCompression() const { return fFlgCompression; }
    bool FlgExtended() const { return fFlgExtended; }
    bool FlgExperimental() const { return fFlgExperimental; }
    bool FlgFooterPresent() const { return fFlgFooterPresent; }
    bool FlgUnknown() const { return fFlgUnknown; }
    // The last read took in the whole tag: its size is synchsafe, and after the frames stand only
    // zero bytes of padding (and a footer). A tag read otherwise may hold more than its frames.
    bool ReadWhole() const { return fReadWhole; }
    bool FlgUnsynch() const { return fFlgUnsynch; }
    void SetFlgUnsynch(bool value) { fFlgUnsynch = value; }
    bool UsePadding() const { return fUsePadding; }
    void SetUsePadding(bool value) { fUsePadding = value; }
    bool UseClusteredPadding() const { return fUseClusteredPadding; }
    void SetUseClusteredPadding(bool value) { fUseClusteredPadding = value; }
    bool AlwaysWriteUnicode() const { return fAlwaysWriteUnicode; }
    void SetAlwaysWriteUnicode(bool value) { fAlwaysWriteUnicode = value; }
    TCodePage CharCode() const { return fCharCode; }
    void SetCharCode(const TCodePage &Value);
    bool AutoCorrectCodepage() const { return fAutoCorrectCodepage; }
    void SetAutoCorrectCodepage(bool Value);

    const std::vector<std::unique_ptr<TID3v2Frame>> &Frames() const { return fFrames; }

    // Field access by frame identifier.
    QString GetText(TFrameIDs FrameID) const;
    void SetText(TFrameIDs FrameID, const QString &Value);
    QByteArray GetURL(TFrameIDs FrameID) const;
    void SetURL(TFrameIDs FrameID, const QByteArray &Value);
    QString GetUserText(const QString &Description) const;
    void SetUserText(const QString &Description, const QString &Value);
    QString GetExtendedComment(const QByteArray &Language, const QString &Description) const;
    void SetExtendedComment(const QByteArray &Language, const QString &Description, const QString &value);
    QString GetLyrics(const QByteArray &Language, const QString &Description) const;
    void SetLyrics(const QByteArray &Language, const QString &Description, const QString &value);
    // Appends the picture to `stream` and returns its MIME type (v2.2: the image format).
    QByteArray GetPicture(QIODevice *stream, const QString &Description) const;
    void SetPicture(const QByteArray &MimeTyp, quint8 PicType, const QString &Description, QIODevice *stream);
    QByteArray GetUserDefinedURL(const QString &Description) const;
    void SetUserDefinedURL(const QString &Description, const QByteArray &Value);
    quint8 GetRating(const QByteArray &aEMail) const;
    quint32 GetPersonalPlayCounter(const QByteArray &aEMail) const;
    // -1 leaves a value as it is.
    void SetRatingAndCounter(const QByteArray &aEMail, qint32 aRating, qint32 aCounter);
    bool GetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Content) const;
    void SetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Content);

    // Lists of frames; the frames stay owned by the tag.
    using TFrameList = QList<TID3v2Frame *>;
    TFrameList GetAllFrames() const;
    void GetAllFrames(TFrameList &aList) const;
    TFrameList GetAllTextFrames() const;
    void GetAllTextFrames(TFrameList &aList) const;
    TFrameList GetAllUserTextFrames() const;
    void GetAllUserTextFrames(TFrameList &aList) const;
    TFrameList GetAllCommentFrames() const;
    void GetAllCommentFrames(TFrameList &aList) const;
    TFrameList GetAllLyricFrames() const;
    void GetAllLyricFrames(TFrameList &aList) const;
    TFrameList GetAllUserDefinedURLFrames() const;
    void GetAllUserDefinedURLFrames(TFrameList &aList) const;
    TFrameList GetAllPictureFrames() const;
    void GetAllPictureFrames(TFrameList &aList) const;
    TFrameList GetAllPopularimeterFrames() const;
    void GetAllPopularimeterFrames(TFrameList &aList) const;
    TFrameList GetAllURLFrames() const;
    void GetAllURLFrames(TFrameList &aList) const;
    TFrameList GetAllPrivateFrames() const;
    void GetAllPrivateFrames(TFrameList &aList) const;

    bool ValidNewCommentFrame(const QByteArray &Language, const QString &Description) const;
    bool ValidNewLyricFrame(const QByteArray &Language, const QString &Description) const;
    bool ValidNewPictureFrame(const QString &Description) const;
    bool ValidNewUserDefUrlFrame(const QString &Description) const;
    bool ValidNewPopularimeterFrame(const QByteArray &EMail) const;
    QList<TFrameIDs> GetAllowedTextFrames() const;
    QList<TFrameIDs> GetAllowedURLFrames() const;

    TID3v2Frame *AddFrame(TFrameIDs aID);
    void DeleteFrame(TID3v2Frame *aFrame);

    // Named fields.
    QString Title() const { return GetText(IDv2_TITEL); }
    void SetTitle(const QString &v) { SetText(IDv2_TITEL, v); }
    QString Artist() const { return GetText(IDv2_ARTIST); }
    void SetArtist(const QString &v) { SetText(IDv2_ARTIST, v); }
    QString Album() const { return GetText(IDv2_ALBUM); }
    void SetAlbum(const QString &v) { SetText(IDv2_ALBUM, v); }
    QString Genre() const;
    void SetGenre(const QString &v);
    QString Track() const { return GetText(IDv2_TRACK); }
    void SetTrack(const QString &v) { SetText(IDv2_TRACK, v); }
    QString Year() const { return GetText(IDv2_YEAR); }
    void SetYear(const QString &v);
    QString Comment() const { return GetCommentLyric(IDv2_COMMENT, "*", QString()); }
    void SetComment(const QString &v) { SetCommentLyric(IDv2_COMMENT, "*", v, QString()); }
    QString Lyrics() const { return GetCommentLyric(IDv2_LYRICS, "*", QString()); }
    void SetLyrics(const QString &v) { SetCommentLyric(IDv2_LYRICS, "*", v, QString()); }
    QByteArray URL() const { return GetUserDefinedURL(QString()); }
    void SetURL(const QByteArray &v) { SetUserDefinedURL(QString(), v); }
    quint8 Rating() const { return GetRating("*"); }
    void SetRating(quint8 v) { SetRatingAndCounter("*", v, -1); }
    quint32 PlayCounter() const { return GetPersonalPlayCounter("*"); }
    void SetPlayCounter(quint32 v) { SetRatingAndCounter("*", -1, qint32(v)); }
    QString Composer() const { return GetText(IDv2_COMPOSER); }
    void SetComposer(const QString &v) { SetText(IDv2_COMPOSER, v); }
    QString OriginalArtist() const { return GetText(IDv2_ORIGINALARTIST); }
    void SetOriginalArtist(const QString &v) { SetText(IDv2_ORIGINALARTIST, v); }
    QString Copyright() const { return GetText(IDv2_COPYRIGHT); }
    void SetCopyright(const QString &v) { SetText(IDv2_COPYRIGHT, v); }
    QString EncodedBy() const { return GetText(IDv2_ENCODEDBY); }
    void SetEncodedBy(const QString &v) { SetText(IDv2_ENCODEDBY, v); }
    QString Languages() const { return GetText(IDv2_LANGUAGES); }
    void SetLanguages(const QString &v) { SetText(IDv2_LANGUAGES, v); }
    QString SoftwareSettings() const { return GetText(IDv2_SOFTWARESETTINGS); }
    void SetSoftwareSettings(const QString &v) { SetText(IDv2_SOFTWARESETTINGS, v); }
    QString Mediatype() const { return GetText(IDv2_MEDIATYPE); }
    void SetMediatype(const QString &v) { SetText(IDv2_MEDIATYPE, v); }
    QString Id3Length() const { return GetText(IDv2_LENGTH); }
    void SetId3Length(const QString &v) { SetText(IDv2_LENGTH, v); }
    QString Publisher() const { return GetText(IDv2_PUBLISHER); }
    void SetPublisher(const QString &v) { SetText(IDv2_PUBLISHER, v); }
    QString OriginalFilename() const { return GetText(IDv2_ORIGINALFILENAME); }
    void SetOriginalFilename(const QString &v) { SetText(IDv2_ORIGINALFILENAME, v); }
    QString OriginalLyricist() const { return GetText(IDv2_ORIGINALLYRICIST); }
    void SetOriginalLyricist(const QString &v) { SetText(IDv2_ORIGINALLYRICIST, v); }
    QString OriginalReleaseYear() const { return GetText(IDv2_ORIGINALRELEASEYEAR); }
    void SetOriginalReleaseYear(const QString &v) { SetText(IDv2_ORIGINALRELEASEYEAR, v); }
    QString OriginalAlbumTitel() const { return GetText(IDv2_ORIGINALALBUMTITEL); }
    void SetOriginalAlbumTitel(const QString &v) { SetText(IDv2_ORIGINALALBUMTITEL, v); }

    // Helpers.
    static qint64 SyncsafeToInt(const QByteArray &bytes);
    static QByteArray IntToSyncsafe(qint64 n);
    static bool ValidFrameIDChars(const QByteArray &id);
    // The first free "TagTemp.t<hex>" in the temporary folder; empty when there is no such folder.
    static QString GetTempTagFileName();
    // Padding that makes `Total` bytes end on a cluster (or 2048-byte) boundary: 1 to C bytes.
    static qint64 GetPaddingSize(const QString &Filename, bool Clustered, qint64 Total);

    // An ID3v1 tag that goes into a rewritten file with this tag.
    struct TWithV1 {
        TID3v1Tag &Tag;
        TMP3Error Result = MP3ERR_None;
        bool Written = false;
    };

private:
    TMP3Error ReadHeader(QIODevice &Stream);
    TMP3Error ReadFrames(QByteArray &bytes);
    QByteArray ReadUnsyncedTagData(const QByteArray &raw) const;
    // Size of the tag at the start of the stream that a write may replace: 0 for none, -1 for
    // one that cannot be trusted with the bytes behind it.
    static qint64 ReplaceableTagSize(QIODevice &Stream);
    // `replace`, when given, is the stream's file, which a rewrite then replaces as a whole.
    TMP3Error WriteTag(QIODevice &Stream, const QString &replace, TWithV1 *v1 = nullptr);
    TMP3Error RemoveTag(QIODevice &Stream, const QString &replace);
    TMP3Error ChangeFile(const QString &Filename, bool write, TWithV1 *v1);

    QByteArray GetFrameIDString(TFrameIDs FrameID) const;
    int GetFrameIndex(TFrameIDs FrameID) const;
    int GetUserTextFrameIndex(const QString &Description) const;
    int GetCommentLyricFrameIndex(TFrameIDs FrameID, const QByteArray &Language, const QString &Description) const;
    int GetPictureFrameIndex(const QString &Description) const;
    int GetUserDefinedURLFrameIndex(const QString &Description) const;
    int GetPopularimeterFrameIndex(const QByteArray &aEMail) const;
    int GetPrivateFrameIndex(const QByteArray &aOwnerID) const;
    QString GetCommentLyric(TFrameIDs FrameID, const QByteArray &Language, const QString &Description) const;
    void SetCommentLyric(TFrameIDs FrameID, QByteArray Language, const QString &Value, const QString &Description);
    static QString BuildGenreText(const QString &value);
    static QString ParseGenreText(const QString &stored);
    static bool IsTextFrameID(const QByteArray &id);

    // Index of the first frame with the version's ID of `id` that `match` accepts, -1 when none.
    template <typename Match>
    int FindFrame(TFrameIDs id, Match &&match) const;
    // Finds, changes, creates or deletes one frame as the setters share it.
    template <typename Setter>
    void ChangeFrame(int index, TFrameIDs newID, bool empty, Setter &&set);
    TID3v2Frame *AppendFrame(TFrameIDs id, bool withTagSettings);
    void DeleteFrameAt(int index);
    TFrameList FramesOfType(TID3v2FrameTypes type) const;
    TFrameList FramesWithID(TFrameIDs id) const;

    std::vector<std::unique_ptr<TID3v2Frame>> fFrames;
    bool fExists = false;
    TID3Version fVersion;
    bool fFlgUnsynch = false;
    bool fFlgCompression = false;
    bool fFlgExtended = false;
    bool fFlgExperimental = false;
    bool fFlgFooterPresent = false;
    bool fFlgUnknown = false;
    bool fReadWhole = true;
    qint64 fPaddingSize = 0;
    qint64 fTagSize = 0;
    qint64 fDataSize = 0;
    bool fUsePadding = false;
    bool fUseClusteredPadding = true;
    QString fFilename;
    bool fAlwaysWriteUnicode = false;
    bool fAutoCorrectCodepage = false;
    TCodePage fCharCode;
};
