#include "cli/audioinfo.h"

#include "audio/mp3file.h"
#include "support/formatting.h"

#include <QJsonValue>

namespace {

QString versionName(int version)
{
    switch (version) {
    case 1:
        return QStringLiteral("MPEG-1");
    case 2:
        return QStringLiteral("MPEG-2");
    case 3:
        return QStringLiteral("MPEG-2.5");
    }
    return QStringLiteral("unbekannt");
}

QString layerName(int layer)
{
    static const char *const names[] = {"I", "II", "III"};
    return layer >= 1 && layer <= 3 ? QString::fromLatin1(names[layer - 1]) : QStringLiteral("unbekannt");
}

QString channelModeName(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("Stereo");
    case 1:
        return QStringLiteral("Joint Stereo");
    case 2:
        return QStringLiteral("Zweikanal");
    case 3:
        return QStringLiteral("Mono");
    }
    return QStringLiteral("unbekannt");
}

struct Fields {
    const char *key;
    const char *label;
    QString (TMP3File::*read)() const;
};

const Fields fields[] = {
    {"title", "Titel", &TMP3File::Title},         {"artist", "Autor", &TMP3File::Artist},
    {"album", "Albumtitel", &TMP3File::Album},    {"year", "Jahr", &TMP3File::Year},
    {"comment", "Kommentar", &TMP3File::Comment}, {"track", "Tracknummer", &TMP3File::Track},
    {"genre", "Genre", &TMP3File::Genre},
};

} // namespace

void addAudioInfo(const QString &fileName, QJsonObject &fileObject)
{
    TMP3File file;
    file.ReadFromFile(fileName);
    if (file.Valid()) {
        const TMpegInfo &mpeg = file.MpegInfo();
        fileObject.insert("audio", QJsonObject{
                                       {"version", mpeg.Version()},
                                       {"layer", mpeg.Layer()},
                                       {"protection", mpeg.Protection()},
                                       {"bitrate", mpeg.Bitrate()},
                                       {"samplerate", mpeg.Samplerate()},
                                       {"channelmode", mpeg.Channelmode()},
                                       {"channels", file.Channels()},
                                       {"frames", mpeg.Frames()},
                                       {"duration", mpeg.Duration()},
                                       {"vbr", mpeg.Vbr()},
                                       {"firstHeaderPosition", mpeg.FirstHeaderPosition()},
                                   });
    } else {
        fileObject.insert("audio", QJsonValue::Null);
    }
    QJsonObject texts;
    for (const Fields &f : fields)
        texts.insert(QLatin1String(f.key), (file.*f.read)());
    fileObject.insert("fields", texts);
}

QStringList audioInfoLines(const QString &fileName)
{
    TMP3File file;
    const TAudioError result = file.ReadFromFile(fileName);
    QStringList lines;
    if (result == FileErr_NoFile || result == FileErr_FileOpenR) {
        lines << QStringLiteral("MPEG-Audio: Die Datei konnte nicht gelesen werden.");
    } else if (!file.Valid()) {
        lines << QStringLiteral("MPEG-Audio: kein MPEG-Audio-Frame gefunden");
    } else {
        const TMpegInfo &mpeg = file.MpegInfo();
        lines
            << QStringLiteral("MPEG-Audio: %1 Layer %2").arg(versionName(mpeg.Version()), layerName(mpeg.Layer()))
            << QStringLiteral("  Bitrate: %1 kbit/s, %2")
                   .arg(mpeg.Bitrate())
                   .arg(mpeg.Vbr() ? QStringLiteral("variabel (Durchschnitt)") : QStringLiteral("konstant"))
            << QStringLiteral("  Abtastrate: %1 Hz").arg(Tausenderpunkte(mpeg.Samplerate()))
            << QStringLiteral("  Kanäle: %1 (%2)").arg(file.Channels()).arg(channelModeName(mpeg.Channelmode()))
            << QStringLiteral("  Prüfsumme: %1").arg(mpeg.Protection() ? QStringLiteral("ja") : QStringLiteral("nein"))
            << QStringLiteral("  Frames: %1").arg(Tausenderpunkte(mpeg.Frames()))
            << QStringLiteral("  Dauer: %1 (%2 Sekunden)").arg(DauerText(mpeg.Duration())).arg(mpeg.Duration())
            << QStringLiteral("  Erster Frame bei Byte %1").arg(Tausenderpunkte(mpeg.FirstHeaderPosition()));
    }
    lines << QStringLiteral("Felder (ID3v2, sonst ID3v1):");
    for (const Fields &f : fields)
        lines << QStringLiteral("  %1: %2").arg(QLatin1String(f.label), (file.*f.read)());
    return lines;
}
