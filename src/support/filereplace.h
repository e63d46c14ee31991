#pragma once

#include <QFile>
#include <QString>
#include <sys/stat.h>

// Replaces a user's file as a whole or not at all: the new content is written into a new file
// in the same folder, flushed to the disk and renamed over the old file, which keeps its
// permissions, its owner where the system allows, and its access time. Where the system can,
// the new file has no name until it is complete, so a killed process leaves nothing behind;
// otherwise it is named ".<name>.zindara-<process id>-<n>.tmp", and such files of processes
// that no longer run are removed at the next replacement of the same file.
class TDateiErsatz {
public:
    explicit TDateiErsatz(const QString &ziel);
    ~TDateiErsatz();
    TDateiErsatz(const TDateiErsatz &) = delete;
    TDateiErsatz &operator=(const TDateiErsatz &) = delete;

    // Creates the new file. False when the target has several hard links (a rename would part
    // them) or its folder cannot take a new file; the caller then changes the file in place.
    bool Anlegen();
    // The new file, open for reading and writing, unbuffered.
    QFile &Datei() { return FDatei; }
    // Starts writing what the new file holds so far to the disk, without waiting for it, so
    // that the flush at the end has less left to wait for.
    void Vorausschreiben();
    // Flushes the new file and puts it in the target's place. False leaves the target as it was.
    bool Uebernehmen();

private:
    void StaleEntfernen() const;
    QString FZiel;
    QString FName; // the new file's name while it has one
    QFile FDatei;
    struct stat FAlt {};
    bool FUebernommen = false;
};
