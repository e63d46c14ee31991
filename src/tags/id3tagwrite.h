#pragma once

#include "support/mp3error.h"

#include <QString>
#include <array>
#include <optional>

class TID3v1Tag;
class TID3v2Tag;

// The tag editor's seven fields, in its order.
enum TId3Feld { Id3Titel, Id3Autor, Id3Album, Id3Jahr, Id3Kommentar, Id3Track, Id3Genre, Id3FeldAnzahl };

// A value per field; a field without a value is left as the tags hold it. An empty value
// removes the field.
using TId3Felder = std::array<std::optional<QString>, Id3FeldAnzahl>;

struct TId3Schreibergebnis {
    // Reading the file's own ID3v2 tag; not MP3ERR_None means nothing was written.
    TMP3Error Lesen = MP3ERR_None;
    TMP3Error V1 = MP3ERR_None;
    TMP3Error V2 = MP3ERR_None;

    bool Geschrieben() const { return Lesen == MP3ERR_None; }
    // Both tags written without any complaint.
    bool Fehlerfrei() const { return Lesen == MP3ERR_None && V1 == MP3ERR_None && V2 == MP3ERR_None; }
    // The tag editor's rule: the codes from MP3ERR_NoFile to MP3ERR_SWrite are a failure, and
    // ID3ERR_Invalid_Header, with which a write refuses a tag it cannot trust.
    bool Erfolg() const;
};

// A year the tag editor accepts: empty, or digits only (blanks around them are ignored).
bool Id3JahrGueltig(const QString &AJahr);

// Fills Id1 and Id2 from a pair of tags as the tag editor does: each field from AId3V2 when it
// has a value there, otherwise from AId3V1. Returns what the fields show (Id2's values).
std::array<QString, Id3FeldAnzahl> SetId3Tags(const TID3v1Tag &AId3V1, const TID3v2Tag &AId3V2, TID3v1Tag &Id1,
                                              TID3v2Tag &Id2);

// Sets the given fields into the ID3v1 tag and then into the ID3v2 tag, field by field (the
// ID3v1 tag gets the year's first four characters as 8-bit text, the track modulo 256 and 255
// for a genre not in the list), then writes the ID3v1 tag and, whatever its result, the ID3v2
// tag into the file.
TId3Schreibergebnis WriteId3Tags(const QString &AFilename, const TId3Felder &AFelder, TID3v1Tag &AId3V1,
                                 TID3v2Tag &AId3V2);

// The same for the tags the file itself holds: both are read from it first. An ID3v2 tag that
// cannot be read whole is not written over; then nothing is written.
TId3Schreibergebnis Id3TagsInDateiSchreiben(const QString &AFilename, const TId3Felder &AFelder);
