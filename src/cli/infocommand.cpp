#include "cli/audioinfo.h"
#include "cli/commandlist.h"

#include "support/formatting.h"
#include "tags/codepage.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2frame.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *frameTypeName(TID3v2FrameTypes type)
{
    switch (type) {
    case FT_INVALID: return "FT_INVALID";
    case FT_UNKNOWN: return "FT_UNKNOWN";
    case FT_TextFrame: return "FT_TextFrame";
    case FT_CommentFrame: return "FT_CommentFrame";
    case FT_LyricFrame: return "FT_LyricFrame";
    case FT_UserDefinedURLFrame: return "FT_UserDefinedURLFrame";
    case FT_PictureFrame: return "FT_PictureFrame";
    case FT_PopularimeterFrame: return "FT_PopularimeterFrame";
    case FT_URLFrame: return "FT_URLFrame";
    case FT_UserTextFrame: return "FT_UserTextFrame";
    }
    return "FT_INVALID";
}

QString bytesText(const QByteArray &bytes)
{
    return AnsiToText(bytes);
}

QString sizeText(qint64 bytes)
{
    return QStringLiteral("%1 Bytes").arg(Tausenderpunkte(bytes));
}

QJsonValue id3v1Json(const TID3v1Tag &tag)
{
    if (!tag.Exists())
        return QJsonValue::Null;
    return QJsonObject{
        {"version", tag.Version()},
        {"title", tag.Title()},
        {"artist", tag.Artist()},
        {"album", tag.Album()},
        {"year", bytesText(tag.Year())},
        {"comment", tag.Comment()},
        {"track", tag.Track()},
        {"genre", tag.Genre()},
        {"genreNumber", tag.GenreNumber()},
    };
}

// The decoded content of one frame, by its kind.
QJsonObject frameContent(const TID3v2Frame &frame)
{
    QJsonObject content;
    if (!frame.Parsable())
        return content;
    if (frame.FrameID() == IDv2_PRIVATE) {
        QByteArray owner;
        QBuffer data;
        data.open(QIODevice::ReadWrite);
        frame.GetPrivateFrame(owner, &data);
        content.insert("owner", bytesText(owner));
        content.insert("privateSize", data.size());
        return content;
    }
    switch (frame.FrameType()) {
    case FT_TextFrame:
        content.insert("text", frame.GetText());
        break;
    case FT_UserTextFrame: {
        QString description;
        const QString text = frame.GetUserText(description);
        content.insert("description", description);
        content.insert("text", text);
        break;
    }
    case FT_CommentFrame:
    case FT_LyricFrame: {
        QByteArray language;
        QString description;
        const QString text = frame.GetCommentsLyrics(language, description);
        content.insert("language", bytesText(language));
        content.insert("description", description);
        content.insert("text", text);
        break;
    }
    case FT_URLFrame:
        content.insert("url", bytesText(frame.GetURL()));
        break;
    case FT_UserDefinedURLFrame: {
        QString description;
        const QByteArray url = frame.GetUserdefinedURL(description);
        content.insert("description", description);
        content.insert("url", bytesText(url));
        break;
    }
    case FT_PictureFrame: {
        QByteArray mime;
        quint8 pictureType = 0;
        QString description;
        QBuffer picture;
        picture.open(QIODevice::ReadWrite);
        frame.GetPicture(mime, pictureType, description, &picture);
        content.insert("mime", bytesText(mime));
        content.insert("pictureType", pictureType);
        content.insert("description", description);
        content.insert("pictureSize", picture.size());
        break;
    }
    case FT_PopularimeterFrame: {
        QByteArray email;
        const quint8 rating = frame.GetRating(email);
        const quint32 counter = frame.GetPersonalPlayCounter(email);
        content.insert("email", bytesText(email));
        content.insert("rating", rating);
        content.insert("counter", qint64(counter));
        break;
    }
    case FT_INVALID:
    case FT_UNKNOWN:
        break;
    }
    return content;
}

QString versionText(const TID3v2Tag &tag)
{
    return QStringLiteral("2.%1.%2").arg(tag.Version().Major).arg(tag.Version().Minor);
}

QJsonValue id3v2Json(const TID3v2Tag &tag)
{
    if (!tag.Exists())
        return QJsonValue::Null;
    QJsonArray frames;
    for (const TID3v2Frame *frame : tag.GetAllFrames()) {
        QJsonObject object{
            {"id", bytesText(frame->FrameIDString())},
            {"type", frameTypeName(frame->FrameType())},
            {"parsable", frame->Parsable()},
            {"dataSize", frame->DataSize()},
        };
        const QJsonObject content = frameContent(*frame);
        for (auto it = content.begin(); it != content.end(); ++it)
            object.insert(it.key(), it.value());
        frames.append(object);
    }
    return QJsonObject{
        {"version", versionText(tag)},
        {"size", qint64(tag.Size())},
        {"padding", qint64(tag.PaddingSize())},
        {"flags",
         QJsonObject{
             {"unsynchronisation", tag.FlgUnsynch()},
             {"extendedHeader", tag.FlgExtended()},
             {"experimental", tag.FlgExperimental()},
             {"footer", tag.FlgFooterPresent()},
         }},
        {"frames", frames},
    };
}

// A frame's content as one readable German line, the way the JSON names it.
QString frameLine(const TID3v2Frame &frame)
{
    const QJsonObject content = frameContent(frame);
    QStringList parts;
    auto add = [&](const char *key, const QString &label) {
        if (!content.contains(QLatin1String(key)))
            return;
        const QJsonValue value = content.value(QLatin1String(key));
        const QString text = value.isString() ? value.toString()
                                              : QString::number(value.toInteger());
        if (text.isEmpty() && !label.isEmpty())
            return;
        parts << (label.isEmpty() ? text : label + u' ' + text);
    };
    add("language", QStringLiteral("Sprache"));
    add("description", QStringLiteral("Beschreibung"));
    add("owner", QStringLiteral("Besitzer"));
    add("email", QStringLiteral("E-Mail"));
    add("mime", QStringLiteral("Typ"));
    add("pictureType", QStringLiteral("Bildart"));
    add("pictureSize", QStringLiteral("Bildgröße"));
    add("privateSize", QStringLiteral("Datengröße"));
    add("rating", QStringLiteral("Bewertung"));
    add("counter", QStringLiteral("Zähler"));
    add("url", QString());
    add("text", QString());

    QString line = QStringLiteral("  %1 (%2, %3%4)")
                       .arg(bytesText(frame.FrameIDString()), frame.FrameTypeDescription(),
                            sizeText(frame.DataSize()),
                            frame.Parsable() ? QString() : QStringLiteral(", nicht lesbar"));
    if (!parts.isEmpty())
        line += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    return line;
}

QStringList id3v1Lines(const TID3v1Tag &tag)
{
    if (!tag.Exists())
        return {QStringLiteral("ID3v1-Tag: keins")};
    QString year = bytesText(tag.Year());
    year.remove(QChar(0));
    const QString genre = tag.Genre().isEmpty()
                              ? QStringLiteral("keins (%1)").arg(tag.GenreNumber())
                              : QStringLiteral("%1 (%2)").arg(tag.Genre()).arg(tag.GenreNumber());
    return {
        QStringLiteral("ID3v1-Tag: Version 1.%1").arg(tag.Version()),
        QStringLiteral("  Titel: ") + tag.Title(),
        QStringLiteral("  Autor: ") + tag.Artist(),
        QStringLiteral("  Albumtitel: ") + tag.Album(),
        QStringLiteral("  Jahr: ") + year,
        QStringLiteral("  Kommentar: ") + tag.Comment(),
        QStringLiteral("  Tracknummer: ") + tag.Track(),
        QStringLiteral("  Genre: ") + genre,
    };
}

QStringList id3v2Lines(const TID3v2Tag &tag, TMP3Error readResult)
{
    if (!tag.Exists())
        return {QStringLiteral("ID3v2-Tag: keins")};
    QStringList flags;
    if (tag.FlgUnsynch())
        flags << QStringLiteral("Unsynchronisation");
    if (tag.FlgExtended())
        flags << QStringLiteral("erweiterter Kopf");
    if (tag.FlgExperimental())
        flags << QStringLiteral("experimentell");
    if (tag.FlgFooterPresent())
        flags << QStringLiteral("Fußzeile");
    const QList<TID3v2Frame *> frames = tag.GetAllFrames();
    QStringList lines{
        QStringLiteral("ID3v2-Tag: Version %1, %2, davon %3 Füllbytes")
            .arg(versionText(tag), sizeText(tag.Size()), Tausenderpunkte(tag.PaddingSize())),
        QStringLiteral("  Flags: ") + (flags.isEmpty() ? QStringLiteral("keine") : flags.join(QStringLiteral(", "))),
        QStringLiteral("  Frames: %1").arg(frames.size()),
    };
    if (readResult != MP3ERR_None)
        lines << QStringLiteral("  Das Tag ist beschädigt und wurde nicht ganz gelesen.");
    for (const TID3v2Frame *frame : frames)
        lines << frameLine(*frame);
    return lines;
}

int runInfo(const CliArguments &args, CliStreams io)
{
    const bool json = args.has(QStringLiteral("--json"));
    const QStringList &files = args.operands();
    if (files.isEmpty())
        return usageError(io, QStringLiteral("Es wurde keine Datei angegeben."));

    int code = 0;
    QJsonArray array;
    bool firstText = true;
    for (const QString &file : std::as_const(files)) {
        const QFileInfo info(file);
        if (!info.isFile()) {
            io.err << "zindara-cli: " << file
                   << (info.exists() ? ": Das ist keine Datei.\n" : ": Die Datei gibt es nicht.\n");
            code = 1;
            continue;
        }
        TID3v1Tag v1;
        TID3v2Tag v2;
        v1.ReadFromFile(file);
        const TMP3Error read2 = v2.ReadFromFile(file);
        if (json) {
            QJsonObject object{
                {"file", file},
                {"size", info.size()},
                {"id3v1", id3v1Json(v1)},
                {"id3v2", id3v2Json(v2)},
            };
            addAudioInfo(file, object);
            array.append(object);
        } else {
            if (!firstText)
                io.out << "\n";
            firstText = false;
            QStringList lines{QStringLiteral("Datei: ") + file,
                              QStringLiteral("Größe: ") + sizeText(info.size())};
            lines << id3v1Lines(v1) << id3v2Lines(v2, read2) << audioInfoLines(file);
            for (const QString &line : std::as_const(lines))
                io.out << line << "\n";
        }
    }
    if (json)
        io.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    return code;
}

} // namespace

CliCommand infoCommand()
{
    return {
        QStringLiteral("info"),
        QStringLiteral("Tags und MPEG-Daten der Dateien zeigen."),
        {{{QStringLiteral("[--json] DATEI...")}, QStringLiteral("Tags und MPEG-Daten der Dateien zeigen")}},
        {{QStringLiteral("--json"), {}, QStringLiteral("als JSON ausgeben")}},
        runInfo,
    };
}
