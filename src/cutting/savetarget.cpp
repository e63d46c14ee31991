#include "cutting/savetarget.h"

#include "cutting/cutreporter.h"
#include "cutting/piecenames.h"

#include <QFile>
#include <filesystem>

bool GleicheDatei(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code fehler;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), fehler) &&
           !fehler;
}

TZielWahl ZielErfragen(const QString &datei, const QStringList &eingaben, TCutReporter &report)
{
    if (!QFile::exists(datei))
        return TZielWahl::Neu;
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?")
                              .arg(datei);
    switch (report.Meldung(frage, TMeldungArt::Bestaetigung, TMeldungKnoepfe::JaNeinAbbrechen)) {
    case TMeldungAntwort::Ja:
        return TZielWahl::Anhaengen;
    case TMeldungAntwort::Nein:
        for (const QString &e : eingaben) {
            if (GleicheDatei(e, datei)) {
                report.Meldung(ZielIstEingabeText(datei), TMeldungArt::Information);
                return TZielWahl::ZielIstEingabe;
            }
        }
        DateiattributeLoeschen(datei);
        if (QFile::remove(datei))
            return TZielWahl::Neu;
        report.Meldung(NichtErstellt(datei), TMeldungArt::Information);
        return TZielWahl::NichtLoeschbar;
    default:
        return TZielWahl::Abbrechen;
    }
}

std::optional<TSpeichernErgebnis> FrageEnde(TZielWahl wahl)
{
    switch (wahl) {
    case TZielWahl::Abbrechen:
        return TSpeichernErgebnis::Abgebrochen;
    case TZielWahl::NichtLoeschbar:
        return TSpeichernErgebnis::NichtErstellt;
    case TZielWahl::ZielIstEingabe:
        return TSpeichernErgebnis::ZielIstEingabe;
    case TZielWahl::Neu:
    case TZielWahl::Anhaengen:
        break;
    }
    return std::nullopt;
}

QString NichtErstellt(const QString &datei)
{
    return QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(datei);
}

QString ErfolgreichErstellt(const QString &datei)
{
    return QStringLiteral("Die Datei \"%1\" wurde erfolgreich erstellt!").arg(datei);
}

QString ZielIstEingabeText(const QString &datei)
{
    return QStringLiteral("Die Zieldatei \"%1\" ist zugleich eine der Dateien, die zusammengefügt werden sollen.")
        .arg(datei);
}
