#pragma once

#include "support/bytecopy.h"
#include "support/filereplace.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

// What a save step does with the file it writes.
enum class TZielArt {
    Neu,            // the file does not exist yet
    Ueberschreiben, // an existing file is replaced by the new audio alone
    Anhaengen,      // the new audio goes where an existing file's ID3v1 tag starts
};

// The file a save step writes, changed as a whole or not at all: the result is built beside it
// under a temporary name (for an append, starting with the old file's bytes before its ID3v1
// tag) and takes the file's place only when complete, keeping its permissions and times. Until
// then, and after any failure or a kill, the file is as it was. Only a file with several hard
// links, or one in a folder that cannot take a new file, is appended to in place, as those
// links expect; its ID3v1 tag is then kept in memory and put back after a failure.
class TZielDatei {
public:
    enum class TStand { Offen, KeineDatei, NichtGeoeffnet, LeseFehler, SchreibFehler };

    TZielDatei(const QString &name, TZielArt art);
    ~TZielDatei();
    TZielDatei(const TZielDatei &) = delete;
    TZielDatei &operator=(const TZielDatei &) = delete;

    // Prepares the result up to the write position. KeineDatei: the name is a pipe or a device;
    // the other failures as their names say. Nothing is changed in any case.
    TStand Oeffnen(TByteCopy &kopierer);
    // Where the new audio goes, at the write position.
    QFile &Datei();
    // The old file's bytes behind the write position (its ID3v1 tag), empty unless appending.
    const QByteArray &AltesEnde() const { return FEnde; }
    // Writes AltesEnde() from byte `ab` on at the current position.
    bool AltesEndeSchreiben(qint64 ab);
    // Puts the result in the file's place. False leaves the file as it was.
    bool Uebernehmen();
    // After a failure: gives up the result. In place, with `tagRetten`, the old ID3v1 tag is
    // written again at the end, so it is not lost.
    void Verwerfen(bool tagRetten);
    // After a failure: true when the file is as it was before the step (always, unless it was
    // written in place).
    bool Unveraendert() const { return !FImOrt; }

private:
    QString FName;
    TZielArt FArt;
    std::unique_ptr<TDateiErsatz> FErsatz;
    QFile FImOrtDatei;
    QByteArray FEnde;
    bool FImOrt = false;
};
