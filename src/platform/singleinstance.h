#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

class TRegistryStore;

// The per-user lock that only the first copy of the program holds, and beside it the file in
// which that copy keeps its main window's caption for a second start to find.
// Both live in $ZINDARA_RUNTIME_DIR when set, else in the user's runtime folder.
class TProgrammSperre {
public:
    explicit TProgrammSperre(const QString &name);
    ~TProgrammSperre();
    TProgrammSperre(const TProgrammSperre &) = delete;
    TProgrammSperre &operator=(const TProgrammSperre &) = delete;

    static QString ordner();
    QString sperrDatei() const { return fFolder + fName + QStringLiteral(".lock"); }
    QString captionDatei() const { return fFolder + fName + QStringLiteral(".caption"); }

    // True when this process now holds the lock: no other copy runs. A lock left by a copy
    // that crashed is taken over, also one it had not yet filled in; a lock that cannot be made
    // at all lets this copy run.
    bool erwerben();
    bool gehalten() const { return fHeld; }
    void freigeben();

    // The running copy's main window caption; written by the first copy whenever it changes.
    bool captionSchreiben(const QString &caption);

private:
    QString fName;
    QString fFolder;
    std::unique_ptr<QLockFile> fLock;
    bool fHeld = false;
};

// Tells the lock this process holds about its main window's new caption (the main window
// calls it at every change); false when this process holds no lock.
bool CaptionMelden(const QString &caption);

// Whether `caption` ends with T where T occurs in it for the first time.
bool TitelPasst(const QString &caption, const QString &T);

// Whether the running copy's main window (the caption file of `sperre`) has a caption that
// ends with T by TitelPasst.
bool FensterMitTitelSuchen(const TProgrammSperre &sperre, const QString &T);

// The start of the program: true when this process is the first copy (it then holds the lock
// of `sperre` and has dropped requests left in the mailbox; start its watcher without dropping).
// Otherwise hands `arguments` (without the program name) to the running copy through the
// mailbox key `mailboxKey`, or a request to come to the front when there are none, and returns
// false; nothing is handed over while the running copy shows no main window.
bool ProgrammStartPruefen(TProgrammSperre &sperre, const QString &titel, const QStringList &arguments,
                          const QString &mailboxKey, TRegistryStore &store);
bool ProgrammStartPruefen(TProgrammSperre &sperre, const QString &titel, const QStringList &arguments);
