// The content of each kind of frame: texts, comments, URLs, pictures, ratings, private data.
#include "tags/id3v2frame.h"

#include "tags/byteat.h"

namespace {

QByteArray readAllFromStart(QIODevice *stream)
{
    if (stream == nullptr)
        return {};
    stream->seek(0);
    return stream->readAll();
}

void appendBE32(QByteArray &a, quint32 v)
{
    a.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

} // namespace

void TID3v2Frame::ContentChanged(const QByteArray &content)
{
    fData = content;
    ResetFlagsAfterChange();
    UpdateHeaderSize();
}

QString TID3v2Frame::GetText() const
{
    if (!fParsable || fData.isEmpty())
        return {};
    return DecodeText(1, fData.size() - 1, byteAt(fData, 0));
}

void TID3v2Frame::SetText(const QString &Value)
{
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Value);
    ContentChanged(QByteArray(1, char(unicode ? 1 : 0)) + EncodeText(Value, unicode));
}

QString TID3v2Frame::GetUserText(QString &Description) const
{
    Description.clear();
    if (!fParsable || fData.size() <= 2)
        return {};
    const quint8 e = ByteToTextEncoding(byteAt(fData, 0));
    qint64 next = 0;
    Description = DecodeString(1, e, next);
    return DecodeText(next, fData.size() - 1, e);
}

void TID3v2Frame::SetUserText(const QString &Description, const QString &Value)
{
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Description) || IsUnicodeNeeded(Value);
    ContentChanged(DescribedContent(unicode, {}, Description, EncodeText(Value, unicode)));
}

QString TID3v2Frame::GetCommentsLyrics(QByteArray &Language, QString &Description) const
{
    Language.clear();
    Description.clear();
    if (!fParsable || fData.size() <= 4)
        return {};
    const quint8 e = ByteToTextEncoding(byteAt(fData, 0));
    Language = fData.mid(1, 3);
    qint64 next = 0;
    Description = DecodeString(4, e, next);
    return DecodeText(next, fData.size() - 1, e);
}

void TID3v2Frame::SetCommentsLyrics(const QByteArray &Language, const QString &Description, const QString &Value)
{
    const QByteArray language = Language.size() == 3 ? Language : QByteArray("eng");
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Description) || IsUnicodeNeeded(Value);
    ContentChanged(DescribedContent(unicode, language, Description, EncodeText(Value, unicode)));
}

QByteArray TID3v2Frame::GetURL() const
{
    return fParsable ? fData : QByteArray();
}

void TID3v2Frame::SetURL(const QByteArray &Value)
{
    ContentChanged(Value.isEmpty() ? QByteArray(" ") : Value);
}

QByteArray TID3v2Frame::GetUserdefinedURL(QString &Description) const
{
    Description.clear();
    if (!fParsable || fData.size() <= 1)
        return {};
    qint64 next = 0;
    Description = DecodeString(1, ByteToTextEncoding(byteAt(fData, 0)), next);
    return TextToAnsi(TrimBlanks(AnsiToText(fData.mid(next))));
}

void TID3v2Frame::SetUserdefinedURL(const QString &Description, const QByteArray &URL)
{
    ContentChanged(DescribedContent(IsUnicodeNeeded(Description), {}, Description, URL));
}

bool TID3v2Frame::GetPicture(QByteArray &Mime, quint8 &PicType, QString &Description, QIODevice *PictureData) const
{
    Mime.clear();
    PicType = 0;
    Description.clear();
    if (!fParsable)
        return false;
    const quint8 e = fData.isEmpty() ? 0 : ByteToTextEncoding(byteAt(fData, 0));
    qint64 descStart = 0;
    if (fVersion == 2) {
        if (fData.size() <= 6)
            return false;
        Mime = fData.mid(1, 3);
        PicType = byteAt(fData, 4);
        descStart = 5;
    } else {
        if (fData.size() <= 4)
            return false;
        const qint64 zero = fData.indexOf('\0', 1);
        if (zero < 0 || zero + 1 >= fData.size()) {
            Mime = fData.mid(1, zero < 0 ? -1 : zero - 1);
            return false;
        }
        Mime = fData.mid(1, zero - 1);
        PicType = byteAt(fData, zero + 1);
        descStart = zero + 2;
    }
    qint64 next = 0;
    Description = DecodeString(descStart, e, next);
    if (next >= fData.size())
        return false;
    if (PictureData != nullptr)
        PictureData->write(fData.constData() + next, fData.size() - next);
    return true;
}

void TID3v2Frame::SetPicture(const QByteArray &Mime, quint8 PicType, const QString &Description, QIODevice *PictureData)
{
    if (PicType > 20)
        PicType = 0;
    QByteArray format = Mime;
    if (fVersion != 2)
        format += '\0';
    else if (format.size() != 3)
        format = Mime == "image/png" ? QByteArray("PNG") : QByteArray("JPG");
    ContentChanged(DescribedContent(IsUnicodeNeeded(Description), format + char(PicType), Description,
                                    readAllFromStart(PictureData)));
}

quint8 TID3v2Frame::GetRating(QByteArray &UserEMail) const
{
    UserEMail.clear();
    if (!fParsable)
        return 0;
    const qint64 zero = fData.indexOf('\0');
    UserEMail = zero < 0 ? fData : fData.left(zero);
    if (zero < 0 || zero + 1 >= fData.size())
        return 0;
    return byteAt(fData, zero + 1);
}

quint32 TID3v2Frame::GetPersonalPlayCounter(QByteArray &UserEMail) const
{
    GetRating(UserEMail);
    if (!fParsable)
        return 0;
    const qint64 zero = fData.indexOf('\0');
    if (zero < 0 || fData.size() - (zero + 2) != 4)
        return 0;
    const qint64 at = zero + 2;
    return quint32(byteAt(fData, at)) << 24 | quint32(byteAt(fData, at + 1)) << 16 |
           quint32(byteAt(fData, at + 2)) << 8 | quint32(byteAt(fData, at + 3));
}

void TID3v2Frame::SetPopularimeter(const QByteArray &email, quint8 rating, quint32 counter)
{
    QByteArray content = email + '\0' + char(rating);
    if (counter != 0)
        appendBE32(content, counter);
    ContentChanged(content);
}

void TID3v2Frame::SetRating(const QByteArray &UserEMail, quint8 Value)
{
    QByteArray ignored;
    SetPopularimeter(UserEMail, Value, GetPersonalPlayCounter(ignored));
}

void TID3v2Frame::SetPersonalPlayCounter(const QByteArray &UserEMail, quint32 Value)
{
    QByteArray ignored;
    SetPopularimeter(UserEMail, GetRating(ignored), Value);
}

bool TID3v2Frame::GetPrivateFrame(QByteArray &OwnerID, QIODevice *Data) const
{
    OwnerID.clear();
    if (!fParsable)
        return false;
    const qint64 zero = fData.indexOf('\0');
    OwnerID = zero < 0 ? fData : fData.left(zero);
    if (zero < 0 || zero + 1 >= fData.size())
        return false;
    if (Data != nullptr)
        Data->write(fData.constData() + zero + 1, fData.size() - zero - 1);
    return true;
}

void TID3v2Frame::SetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Data)
{
    ContentChanged(aOwnerID + '\0' + readAllFromStart(Data));
}

void TID3v2Frame::GetData(QIODevice *Data) const
{
    if (Data != nullptr && !fData.isEmpty())
        Data->write(fData);
}

void TID3v2Frame::SetData(QIODevice *Data)
{
    fData = readAllFromStart(Data);
    UpdateHeaderSize();
}
