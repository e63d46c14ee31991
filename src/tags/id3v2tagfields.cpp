// Finding, changing, adding and deleting frames through the tag's fields.
#include "tags/id3v2tag.h"

#include "tags/id3genres.h"

#include <QBuffer>

QByteArray TID3v2Tag::GetFrameIDString(TFrameIDs FrameID) const
{
    return ID3v2FrameIDString(FrameID, fVersion.Major);
}

template <typename Match> int TID3v2Tag::FindFrame(TFrameIDs id, Match &&match) const
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

template <typename Setter> void TID3v2Tag::ChangeFrame(int index, TFrameIDs newID, bool empty, Setter &&set)
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
    // Several values stand one after another, separated by NUL (v2.4), each UTF-16 value with
    // its own byte order mark; a value of digits alone refers to the genre list (v2.4).
    const QStringList &genres = ID3GenreList();
    QStringList names;
    for (QString value : GetText(IDv2_GENRE).split(QChar(0))) {
        value = TrimBlanks(value.remove(QChar(0xFEFF)));
        if (value.isEmpty())
            continue;
        bool digits = true;
        for (QChar c : value)
            digits = digits && c >= u'0' && c <= u'9';
        const int n = digits && value.size() <= 3 ? value.toInt() : -1;
        names << (n >= 0 && n < genres.size() ? genres.at(n) : ParseGenreText(value));
    }
    return names.join(QStringLiteral(" / "));
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
    const int index = GetCommentLyricFrameIndex(FrameID, Language, Description);
    ChangeFrame(index, FrameID, Value.isEmpty(),
                [&](TID3v2Frame &f) { f.SetCommentsLyrics(Language, Description, Value); });
    if (Value.isEmpty())
        return;
    // One frame per language and description: the one just set replaces any other.
    const TID3v2Frame *set = index >= 0 ? fFrames[index].get() : fFrames.back().get();
    QByteArray language;
    QString description;
    set->GetCommentsLyrics(language, description);
    std::erase_if(fFrames, [&](const std::unique_ptr<TID3v2Frame> &f) {
        if (f.get() == set || f->FrameIDString() != set->FrameIDString())
            return false;
        QByteArray otherLanguage;
        QString otherDescription;
        f->GetCommentsLyrics(otherLanguage, otherDescription);
        return otherLanguage == language && otherDescription == description;
    });
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
