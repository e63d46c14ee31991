#pragma once

#include <QString>

// How the cutting engine talks to whoever started it: the main window, the marks editor,
// the joining dialog, the command line program or a test. The engine never shows anything
// itself; every default here does nothing, so a caller overrides only what it needs.

enum class TMeldungArt { Information, Fehler, Bestaetigung };

enum class TMeldungKnoepfe { Ok, JaNein, JaNeinAbbrechen };

enum class TMeldungAntwort { Ok, Ja, Nein, Abbrechen };

class TCutReporter {
public:
    virtual ~TCutReporter();

    // The memo starts again with its single line "Teilungsinformationen:".
    virtual void MemoZuruecksetzen();
    // One more line below the last one of the memo.
    virtual void MemoText(const QString &line);
    // Let pending window messages be handled, so the window repaints and the screen reader
    // reads the newest memo line while a long copy goes on.
    virtual void NachrichtenVerarbeiten();
    // The system's error sound ("systemhand").
    virtual void FehlerTon();
    // A modal message box with its exact German text; returns the button pressed.
    // The default answers as if the first button had been pressed (Ok or Ja).
    virtual TMeldungAntwort Meldung(const QString &text, TMeldungArt art,
                                    TMeldungKnoepfe knoepfe = TMeldungKnoepfe::Ok);
};

// First line of the memo whenever it is reset.
inline const QString MemoKopfzeile = QStringLiteral("Teilungsinformationen:");
