#include "tags/id3tagwrite.h"

#include "tags/codepage.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2frame.h"
#include "tags/id3v2tag.h"

namespace {

void setField(TId3Feld field, const QString &value, TID3v1Tag &v1, TID3v2Tag &v2)
{
    switch (field) {
    case Id3Titel:
        v1.SetTitle(value);
        v2.SetTitle(value);
        break;
    case Id3Autor:
        v1.SetArtist(value);
        v2.SetArtist(value);
        break;
    case Id3Album:
        v1.SetAlbum(value);
        v2.SetAlbum(value);
        break;
    case Id3Jahr:
        v1.SetYear(TextToAnsi(value.left(4)));
        v2.SetYear(value);
        break;
    case Id3Kommentar:
        v1.SetComment(value);
        v2.SetComment(value);
        break;
    case Id3Track:
        v1.SetTrack(value);
        v2.SetTrack(value);
        break;
    case Id3Genre:
        v1.SetGenre(value);
        v2.SetGenre(value);
        break;
    case Id3FeldAnzahl:
        break;
    }
}

QString yearText(const QString &year) { return year; }
QString yearText(const QByteArray &year) { return AnsiToText(year); }

// Either tag's value of one field, as the tag editor shows it.
template <typename Tag> QString fieldOf(const Tag &tag, TId3Feld field)
{
    switch (field) {
    case Id3Titel: return tag.Title();
    case Id3Autor: return tag.Artist();
    case Id3Album: return tag.Album();
    case Id3Jahr: return yearText(tag.Year());
    case Id3Kommentar: return tag.Comment();
    case Id3Track: return tag.Track();
    case Id3Genre: return tag.Genre();
    case Id3FeldAnzahl: break;
    }
    return {};
}

} // namespace

bool TId3Schreibergebnis::Erfolg() const
{
    // A refused header means nothing was written, which is no success either.
    const auto failed = [](TMP3Error e) {
        return (e >= MP3ERR_NoFile && e <= MP3ERR_SWrite) || e == ID3ERR_Invalid_Header;
    };
    return Lesen == MP3ERR_None && !failed(V1) && !failed(V2);
}

bool Id3JahrGueltig(const QString &AJahr)
{
    for (QChar c : TrimBlanks(AJahr))
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::array<QString, Id3FeldAnzahl> SetId3Tags(const TID3v1Tag &AId3V1, const TID3v2Tag &AId3V2, TID3v1Tag &Id1,
                                              TID3v2Tag &Id2)
{
    std::array<QString, Id3FeldAnzahl> shown;
    for (int f = 0; f < Id3FeldAnzahl; ++f) {
        const auto field = static_cast<TId3Feld>(f);
        const QString fromV2 = fieldOf(AId3V2, field);
        setField(field, fromV2.isEmpty() ? fieldOf(AId3V1, field) : fromV2, Id1, Id2);
        shown[f] = fieldOf(Id2, field);
    }
    return shown;
}

TId3Schreibergebnis WriteId3Tags(const QString &AFilename, const TId3Felder &AFelder, TID3v1Tag &AId3V1,
                                 TID3v2Tag &AId3V2)
{
    for (int f = 0; f < Id3FeldAnzahl; ++f)
        if (AFelder[f])
            setField(static_cast<TId3Feld>(f), *AFelder[f], AId3V1, AId3V2);
    TId3Schreibergebnis result;
    // Both into one rewrite of the file where it is rewritten: the file then holds either the
    // old pair of tags or the new one. The result is that of the ID3v1 write and then the ID3v2
    // write, the second regardless of the first.
    result.V2 = AId3V2.WriteToFile(AFilename, AId3V1, result.V1);
    return result;
}

TId3Schreibergebnis Id3TagsInDateiSchreiben(const QString &AFilename, const TId3Felder &AFelder)
{
    TID3v1Tag v1;
    TID3v2Tag v2;
    v1.ReadFromFile(AFilename);
    const TMP3Error read = v2.ReadFromFile(AFilename);
    // Writing over a tag that could not be read whole would lose the frames not read.
    if (v2.Exists() && (read != MP3ERR_None || !v2.ReadWhole())) {
        TId3Schreibergebnis result;
        result.Lesen = read != MP3ERR_None ? read : ID3ERR_Invalid_Header;
        return result;
    }
    return WriteId3Tags(AFilename, AFelder, v1, v2);
}
