#pragma once

#include "support/mp3error.h"
#include "tags/codepage.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The 128-byte ID3v1 tag (forms 1.0 and 1.1) at the end of an MP3 file. The stream
// operations never raise: unexpected errors go to the error reporter and give
// ID3ERR_Unclassified.
class TID3v1Tag {
public:
    TID3v1Tag();

    void Clear();

    TMP3Error ReadFromStream(QIODevice &Stream);
    TMP3Error WriteToStream(QIODevice &Stream);
    TMP3Error RemoveFromStream(QIODevice &Stream);
    TMP3Error ReadFromFile(const QString &Filename);
    TMP3Error WriteToFile(const QString &Filename);
    TMP3Error RemoveFromFile(const QString &Filename);

    bool TagExists() const { return FExists; }
    bool Exists() const { return FExists; }
    // 0 = ID3v1.0, 1 = ID3v1.1, as found by the last read.
    quint8 Version() const { return FVersion; }

    QString Title() const { return FieldText(FTitle); }
    void SetTitle(const QString &Value) { SetFieldText(FTitle, Value); }
    QString Artist() const { return FieldText(FArtist); }
    void SetArtist(const QString &Value) { SetFieldText(FArtist, Value); }
    QString Album() const { return FieldText(FAlbum); }
    void SetAlbum(const QString &Value) { SetFieldText(FAlbum, Value); }
    QString Comment() const { return FieldText(FComment); }
    void SetComment(const QString &Value) { SetFieldText(FComment, Value); }

    // Genre names exist for 0..125 only; the rest reads as empty text.
    QString Genre() const;
    // Unknown names, and those above 125, store 255 (no genre).
    void SetGenre(const QString &Value);
    quint8 GenreNumber() const { return FGenre; }

    QString Track() const;
    // A decimal number stored as its low byte; anything else stores 0.
    void SetTrack(const QString &Value);

    // Year is the stored bytes as they are, NULs included.
    QByteArray Year() const { return FYear; }
    void SetYear(const QByteArray &Value) { FYear = Value.left(4); }

    TCodePage CharCode() const { return FCharCode; }
    void SetCharCode(const TCodePage &Value) { FCharCode = Value; }
    bool AutoCorrectCodepage() const { return fAutoCorrectCodepage; }
    void SetAutoCorrectCodepage(bool Value) { fAutoCorrectCodepage = Value; }

private:
    QString FieldText(const QByteArray &Field) const;
    void SetFieldText(QByteArray &Field, const QString &Value) const;
    TMP3Error DoRead(QIODevice &Stream);
    TMP3Error DoWrite(QIODevice &Stream);
    TMP3Error DoRemove(QIODevice &Stream);

    QByteArray FTitle, FArtist, FAlbum, FComment; // 30 bytes each, NUL-padded
    QByteArray FYear;                             // at most 4 bytes
    quint8 FTrack = 0;
    quint8 FGenre = 0;
    bool FExists = false;
    quint8 FVersion = 0;
    bool fAutoCorrectCodepage = false;
    TCodePage FCharCode;
};
