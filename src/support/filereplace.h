#pragma once

#include <QFile>
#include <QString>
#include <sys/stat.h>

// Replaces a user's file as a whole or not at all: the new content is written into a new file
// in the same folder, flushed to the disk and renamed over the old file, which keeps its
// permissions, its owner where the system allows, and its access time. Where the system can,
// the new file has no name until it is complete, so a killed process leaves nothing behind;
// otherwise it is named ".<name>.zindara-<process id>-<n>.tmp", and such files of processes
// that no longer run are removed at the next replacement of the same file, or at the next start
// (a note in the temporary folder names the folder while such a name exists).
class TDateiErsatz {
public:
    enum class TArt {
        Datei, // the file changes: several hard links would part, so they are refused
        Name,  // the name gets a new file, as deleting and creating it would give
        Neu,   // the name is free; the new file never takes the place of one that appears meanwhile
    };

    explicit TDateiErsatz(const QString &ziel, TArt art = TArt::Datei);
    ~TDateiErsatz();
    TDateiErsatz(const TDateiErsatz &) = delete;
    TDateiErsatz &operator=(const TDateiErsatz &) = delete;

    // Creates the new file. False when the target is no regular file (or, for Neu, exists),
    // when it has several hard links (Datei: a rename would part them) or its folder cannot
    // take a new file; the caller then changes the file in place or gives up.
    bool Anlegen();
    // The new file, open for reading and writing, unbuffered.
    QFile &Datei() { return FDatei; }
    // Starts writing what the new file holds so far to the disk, without waiting for it, so
    // that the flush at the end has less left to wait for.
    void Vorausschreiben();
    // Puts the new file in the target's place, flushed to the disk first when it replaces a
    // file (a new name replaces nothing and is not waited for). False leaves the target as it was.
    bool Uebernehmen();

private:
    void StaleEntfernen() const;
    bool VerknuepfenOhneErsetzen();
    QString FZiel;
    TArt FArt;
    bool Vermerken();
    QString FName; // the new file's name while it has one
    QString FVermerk;
    QFile FDatei;
    struct stat FAlt {};
    bool FUebernommen = false;
};
