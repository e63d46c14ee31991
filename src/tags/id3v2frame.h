#pragma once

#include "tags/codepage.h"
#include "tags/id3v2frameids.h"
#include "tags/id3v2unsync.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QtGlobal>
#include <stdexcept>

// A frame's content ends before its declared size.
class EID3v2ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A frame's declared size cannot hold the bytes that must precede its content.
class EID3v2FrameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// 1, 2 and 3 stay; every other value is read as 0 (ISO-8859-1).
quint8 ByteToTextEncoding(quint8 value);

// The text without the characters 0 to 32 at either end.
QString TrimBlanks(const QString &text);

// Cuts a file or memory stream at its current position; other streams stay as they are.
void SetStreamEnd(QIODevice &stream);

class TID3v2Frame {
public:
    TID3v2Frame(const QByteArray &frameID, quint8 version);
    TID3v2Frame(const TID3v2Frame &) = delete;
    TID3v2Frame &operator=(const TID3v2Frame &) = delete;

    // The stream stands just after the frame ID. Raises EID3v2ReadError when the stream ends
    // early and EID3v2FrameError for a size too small for the group byte and length indicator.
    void ReadFromStream(QIODevice &aStream);
    // Both return false when the stream took fewer bytes than written.
    bool WriteToStream(QIODevice &aStream);
    bool WriteUnsyncedToStream(QIODevice &aStream);

    TID3v2FrameTypes FrameType() const;
    QString FrameTypeDescription() const;
    QByteArray FrameIDString() const { return fIDString; }
    TFrameIDs FrameID() const;
    quint8 Version() const { return fVersion; }
    bool Parsable() const { return fParsable; }

    bool FlagTagAlterPreservation() const;
    bool FlagFileAlterPreservation() const;
    bool FlagReadOnly() const;
    bool FlagCompression() const;
    bool FlagEncryption() const;
    bool FlagGroupingIndentity() const;
    void SetFlagGroupingIndentity(bool value);
    bool FlagUnsynchronisation() const;
    bool FlagDataLengthIndicator() const;
    bool FlagUnknownStatus() const;
    bool FlagUnknownEncoding() const;

    quint8 GroupID() const { return fGroupID; }
    void SetGroupID(quint8 value) { fGroupID = value; }
    qint32 DataSize() const { return qint32(fData.size()); }
    // The raw header bytes (ID, size, flags).
    QByteArray Header() const { return fHeader; }

    bool AlwaysWriteUnicode() const { return fAlwaysWriteUnicode; }
    void SetAlwaysWriteUnicode(bool value) { fAlwaysWriteUnicode = value; }
    TCodePage CharCode() const { return fCharCode; }
    void SetCharCode(const TCodePage &value) { fCharCode = value; }
    bool AutoCorrectCodepage() const { return fAutoCorrectCodepage; }
    void SetAutoCorrectCodepage(bool value) { fAutoCorrectCodepage = value; }

    QString GetText() const;
    void SetText(const QString &Value);
    QString GetUserText(QString &Description) const;
    void SetUserText(const QString &Description, const QString &Value);
    QString GetCommentsLyrics(QByteArray &Language, QString &Description) const;
    void SetCommentsLyrics(const QByteArray &Language, const QString &Description, const QString &Value);
    QByteArray GetURL() const;
    void SetURL(const QByteArray &Value);
    QByteArray GetUserdefinedURL(QString &Description) const;
    void SetUserdefinedURL(const QString &Description, const QByteArray &URL);
    // The picture is appended to PictureData (when given) at its current position.
    bool GetPicture(QByteArray &Mime, quint8 &PicType, QString &Description, QIODevice *PictureData) const;
    void SetPicture(const QByteArray &Mime, quint8 PicType, const QString &Description, QIODevice *PictureData);
    quint8 GetRating(QByteArray &UserEMail) const;
    void SetRating(const QByteArray &UserEMail, quint8 Value);
    quint32 GetPersonalPlayCounter(QByteArray &UserEMail) const;
    void SetPersonalPlayCounter(const QByteArray &UserEMail, quint32 Value);
    bool GetPrivateFrame(QByteArray &OwnerID, QIODevice *Data) const;
    void SetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Data);
    void GetData(QIODevice *Data) const;
    void SetData(QIODevice *Data);

private:
    QByteArray BodyToWrite();
    bool WriteHeaderAndBody(QIODevice &aStream, const QByteArray &body);
    bool ValidFrameID(const QByteArray &id) const;
    QByteArray ReadDeUnsynchronised(QIODevice &aStream, qint64 n);
    quint8 FlagMask(int flag) const;
    bool FlagSet(int flag) const;
    bool HasGroupByte() const;
    void SetFlag(int flag);
    void UnSetFlag(int flag);
    void ResetFlagsAfterChange();
    void UpdateHeaderSize(qint64 n = -1);
    qint64 HeaderContentSize() const;
    static bool IsUnicodeNeeded(const QString &text);
    QString DecodeText(qint64 first, qint64 last, quint8 e) const;
    QByteArray EncodeText(const QString &text, bool unicode) const;
    // Index of the terminator of the string starting at `start` and the start of the next one.
    qint64 StringEnd(qint64 start, quint8 e, qint64 &next) const;
    // The string at `start` decoded, and where the next one starts.
    QString DecodeString(qint64 start, quint8 e, qint64 &next) const;
    // Encoding byte, prefix, description with its terminator, then the rest.
    QByteArray DescribedContent(bool unicode, const QByteArray &prefix, const QString &description,
                                const QByteArray &rest) const;
    void ContentChanged(const QByteArray &content);
    void SetPopularimeter(const QByteArray &email, quint8 rating, quint32 counter);

    quint8 fVersion;
    QByteArray fIDString;
    mutable TFrameIDs fID = IDv2_UNKNOWN;
    QByteArray fHeader;
    QByteArray fData;
    quint8 fGroupID = 0;
    qint32 fDataLength = 0;
    bool fAlwaysWriteUnicode = false;
    bool fAutoCorrectCodepage = false;
    TCodePage fCharCode;
    bool fParsable = true;
};
