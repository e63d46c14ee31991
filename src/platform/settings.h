#pragma once

#include "platform/registrystore.h"

#include <QColor>
#include <QString>
#include <QtGlobal>

class QPalette;

// Font style bits as stored in "FontStyle".
enum TSchriftStil : int { fsItalic = 1, fsBold = 2, fsUnderline = 4, fsStrikeOut = 8 };

// The system window-text colour in the platform's colour notation (system colour 8).
inline constexpr qint32 clWindowText = qint32(0xFF000008);

// Colours as stored: 0x00BBGGRR, or a system colour 0xFF0000nn taken from the palette.
QColor FarbwertZuFarbe(qint32 value, const QPalette &palette);
qint32 FarbeZuFarbwert(const QColor &colour);

// The user's choices kept under "\Software\Zindara".
struct TEinstellungen {
    int Modus = 2;
    int VorRueckSekunden = 5;
    // The open dialog's start folder: after loading an existing folder or Arbeitsordner().
    QString InitialDirStr;
    int HintergrundNr = 1;
    QString FontName = QStringLiteral("Arial");
    int FontSize = 12;
    qint32 FontColor = clWindowText;
    int FontCharSet = 0;
    int FontStyle = 0;

    bool operator==(const TEinstellungen &) const = default;
};

inline constexpr const char *EinstellungenSchluessel = "\\Software\\Zindara";

// The defaults a new user gets (documents folder as start folder).
TEinstellungen StandardEinstellungen();

// Mode, seek step and start folder from the text of "Daten"; the folder is taken as it stands.
void DatenLesen(const QString &daten, TEinstellungen &einstellungen);
QString DatenText(const TEinstellungen &einstellungen);

// The start folder the open dialog gets for `ordner`: the folder itself when it exists,
// else Arbeitsordner().
QString StartOrdner(const QString &ordner);

// Loads (`LadenS` true) or saves the settings. Loading fills every field, with the defaults
// where a value is missing or unreadable; a failing save changes nothing. True when the key
// could be opened.
bool RegistryLadenSpeichern(bool LadenS, TEinstellungen &einstellungen, TRegistryStore &store);
bool RegistryLadenSpeichern(bool LadenS, TEinstellungen &einstellungen);
