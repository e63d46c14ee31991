// Lists of frames by kind, and whether a new frame would be unique.
#include "tags/id3v2tag.h"

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

void TID3v2Tag::GetAllFrames(TFrameList &aList) const
{
    aList = GetAllFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllTextFrames() const
{
    return FramesOfType(FT_TextFrame);
}
void TID3v2Tag::GetAllTextFrames(TFrameList &aList) const
{
    aList = GetAllTextFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllUserTextFrames() const
{
    return FramesOfType(FT_UserTextFrame);
}
void TID3v2Tag::GetAllUserTextFrames(TFrameList &aList) const
{
    aList = GetAllUserTextFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllURLFrames() const
{
    return FramesOfType(FT_URLFrame);
}
void TID3v2Tag::GetAllURLFrames(TFrameList &aList) const
{
    aList = GetAllURLFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllCommentFrames() const
{
    return FramesWithID(IDv2_COMMENT);
}
void TID3v2Tag::GetAllCommentFrames(TFrameList &aList) const
{
    aList = GetAllCommentFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllLyricFrames() const
{
    return FramesWithID(IDv2_LYRICS);
}
void TID3v2Tag::GetAllLyricFrames(TFrameList &aList) const
{
    aList = GetAllLyricFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllUserDefinedURLFrames() const
{
    return FramesWithID(IDv2_USERDEFINEDURL);
}
void TID3v2Tag::GetAllUserDefinedURLFrames(TFrameList &aList) const
{
    aList = GetAllUserDefinedURLFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllPictureFrames() const
{
    return FramesWithID(IDv2_PICTURE);
}
void TID3v2Tag::GetAllPictureFrames(TFrameList &aList) const
{
    aList = GetAllPictureFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllPopularimeterFrames() const
{
    return FramesWithID(IDv2_RATING);
}
void TID3v2Tag::GetAllPopularimeterFrames(TFrameList &aList) const
{
    aList = GetAllPopularimeterFrames();
}
TID3v2Tag::TFrameList TID3v2Tag::GetAllPrivateFrames() const
{
    return FramesWithID(IDv2_PRIVATE);
}
void TID3v2Tag::GetAllPrivateFrames(TFrameList &aList) const
{
    aList = GetAllPrivateFrames();
}

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
