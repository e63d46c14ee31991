#include "cli/commandlist.h"

#include "support/mp3error.h"
#include "tags/id3tagwrite.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QFileInfo>
#include <array>
#include <optional>

namespace {

struct FieldOption {
    const char *option;
    const char *value; // its placeholder in the help
    const char *name;  // as the tag editor labels it
};

// In the order of TId3Feld.
constexpr std::array<FieldOption, Id3FeldAnzahl> kFields = {{
    {"--title", "T", "Titel"},
    {"--artist", "A", "Autor"},
    {"--album", "A", "Albumtitel"},
    {"--year", "J", "Jahr"},
    {"--comment", "K", "Kommentar"},
    {"--track", "N", "Tracknummer"},
    {"--genre", "G", "Genre"},
}};

struct Request {
    TId3Felder values;
    bool removeV1 = false;
    bool removeV2 = false;
    QStringList files;
};

QString errorText(TMP3Error code)
{
    switch (code) {
    case MP3ERR_None: return QStringLiteral("kein Fehler");
    case MP3ERR_NoFile: return QStringLiteral("die Datei gibt es nicht");
    case MP3ERR_FOpenCrt: return QStringLiteral("eine Datei konnte nicht angelegt werden");
    case MP3ERR_FOpenR: return QStringLiteral("die Datei konnte nicht geöffnet oder gelesen werden");
    case MP3ERR_FOpenRW: return QStringLiteral("die Datei konnte nicht zum Schreiben geöffnet werden");
    case MP3ERR_FOpenW: return QStringLiteral("die Datei konnte nicht geschrieben werden");
    case MP3ERR_SRead: return QStringLiteral("Lesefehler");
    case MP3ERR_SWrite: return QStringLiteral("Schreibfehler");
    case ID3ERR_Cache: return QStringLiteral("der Ton konnte nicht zwischengespeichert werden");
    case ID3ERR_NoTag: return QStringLiteral("kein Tag vorhanden");
    case ID3ERR_Invalid_Header: return QStringLiteral("ungültiger Tag-Kopf");
    case ID3ERR_Compression: return QStringLiteral("komprimiertes Tag");
    case ID3ERR_Unclassified: return QStringLiteral("unerwarteter Fehler");
    case MPEGERR_NoFrame: return QStringLiteral("kein MPEG-Audio-Frame gefunden");
    }
    return QStringLiteral("unbekannter Fehler");
}

// Returns an error message for bad arguments, empty text when they are fine.
QString parse(const CliArguments &args, Request &request)
{
    request.files = args.operands();
    for (int f = 0; f < Id3FeldAnzahl; ++f)
        if (const QString option = QLatin1String(kFields[f].option); args.has(option))
            request.values[f] = args.value(option);
    std::optional<QString> remove;
    if (args.has(QStringLiteral("--remove")))
        remove = args.value(QStringLiteral("--remove"));

    bool anyField = false;
    for (const auto &value : request.values)
        anyField = anyField || value.has_value();
    if (remove) {
        if (anyField)
            return QStringLiteral("\"--remove\" lässt sich nicht mit Feldern verbinden.");
        if (*remove == QLatin1String("v1"))
            request.removeV1 = true;
        else if (*remove == QLatin1String("v2"))
            request.removeV2 = true;
        else if (*remove == QLatin1String("both"))
            request.removeV1 = request.removeV2 = true;
        else
            return QStringLiteral("\"--remove\" erwartet v1, v2 oder both, nicht \"%1\".").arg(*remove);
    } else if (!anyField) {
        return QStringLiteral("Es wurde kein Feld zum Schreiben angegeben.");
    }
    if (const auto &year = request.values[Id3Jahr]; year && !Id3JahrGueltig(*year))
        return QStringLiteral("Das Jahr \"%1\" ist keine ganze Zahl.").arg(*year);
    if (request.files.isEmpty())
        return QStringLiteral("Es wurde keine Datei angegeben.");
    return {};
}

bool writeFile(const QString &file, const Request &request, CliStreams io)
{
    const TId3Schreibergebnis result = Id3TagsInDateiSchreiben(file, request.values);
    if (!result.Geschrieben()) {
        io.out << file << ": Das ID3v2-Tag ist beschädigt (" << errorText(result.Lesen)
               << "), die Datei bleibt unverändert.\n";
        return false;
    }
    if (result.Fehlerfrei()) {
        QStringList names;
        for (int f = 0; f < Id3FeldAnzahl; ++f)
            if (request.values[f])
                names << QString::fromLatin1(kFields[f].name);
        io.out << file << ": ID3v1- und ID3v2-Tag geschrieben (" << names.join(QStringLiteral(", ")) << ").\n";
        return true;
    }
    QStringList failures;
    if (result.V1 != MP3ERR_None)
        failures << QStringLiteral("ID3v1-Tag: %1").arg(errorText(result.V1));
    if (result.V2 != MP3ERR_None)
        failures << QStringLiteral("ID3v2-Tag: %1").arg(errorText(result.V2));
    io.out << file << ": Fehler beim Schreiben (" << failures.join(QStringLiteral("; ")) << ").\n";
    return false;
}

// A missing tag is no failure: the file is as asked.
bool removeTag(const QString &label, TMP3Error result, QStringList &done, QStringList &failures)
{
    if (result == MP3ERR_None) {
        done << QStringLiteral("%1-Tag entfernt").arg(label);
        return true;
    }
    if (result == ID3ERR_NoTag) {
        done << QStringLiteral("kein %1-Tag vorhanden").arg(label);
        return true;
    }
    failures << QStringLiteral("%1-Tag: %2").arg(label, errorText(result));
    return false;
}

bool removeFile(const QString &file, const Request &request, CliStreams io)
{
    QStringList done, failures;
    bool ok = true;
    if (request.removeV1) {
        TID3v1Tag v1;
        ok = removeTag(QStringLiteral("ID3v1"), v1.RemoveFromFile(file), done, failures) && ok;
    }
    if (request.removeV2) {
        TID3v2Tag v2;
        ok = removeTag(QStringLiteral("ID3v2"), v2.RemoveFromFile(file), done, failures) && ok;
    }
    if (ok)
        io.out << file << ": " << done.join(QStringLiteral(", ")) << ".\n";
    else
        io.out << file << ": Fehler beim Entfernen (" << failures.join(QStringLiteral("; ")) << ").\n";
    return ok;
}

int runTag(const CliArguments &args, CliStreams io)
{
    Request request;
    if (const QString message = parse(args, request); !message.isEmpty())
        return usageError(io, message);

    bool allOk = true;
    for (const QString &file : std::as_const(request.files)) {
        bool ok = false;
        const QFileInfo info(file);
        if (!info.exists()) {
            io.out << file << ": Die Datei gibt es nicht.\n";
        } else if (!info.isFile()) {
            io.out << file << ": Das ist keine Datei.\n";
        } else if (request.removeV1 || request.removeV2) {
            ok = removeFile(file, request, io);
        } else {
            ok = writeFile(file, request, io);
        }
        io.out.flush();
        allOk = allOk && ok;
    }
    return allOk ? 0 : 1;
}

} // namespace

CliCommand tagCommand()
{
    QList<CliOption> options;
    for (const FieldOption &field : kFields)
        options.append({QLatin1String(field.option), QLatin1String(field.value),
                        QStringLiteral("%1 schreiben").arg(QString::fromLatin1(field.name))});
    options.append({QStringLiteral("--remove"), QStringLiteral("v1|v2|both"),
                    QStringLiteral("ID3v1-Tag, ID3v2-Tag oder beide entfernen")});
    return {
        QStringLiteral("tag"),
        QStringLiteral("ID3v1- und ID3v2-Tag der Dateien schreiben oder entfernen."),
        {
            {{QStringLiteral("[--title T] [--artist A] [--album A] [--year J] [--comment K]"),
              QStringLiteral("[--track N] [--genre G] DATEI...")},
             QStringLiteral("ID3v1- und ID3v2-Tag der Dateien schreiben")},
            {{QStringLiteral("--remove v1|v2|both DATEI...")}, QStringLiteral("Tags entfernen")},
        },
        options,
        runTag,
    };
}
