#pragma once

#include <QString>

// Working copies in the temporary folder ("TmpZinS<n>.mp3") belong to the process that reserved
// them: it holds a lock on each for as long as it runs, and the system drops the lock when the
// process ends, however it ends. A working copy nobody holds is a leftover.

// Creates `name` empty and locks it for the rest of the process. With `vorhandeneNehmen` an
// existing file is emptied and taken; otherwise an existing name is refused. False, with errno
// set, when the file cannot be created.
bool TempDateiReservieren(const QString &name, bool vorhandeneNehmen);

// A file replaced as a whole is written beside it, where a name ".<name>.zindara-<pid>-<n>.tmp"
// may exist for a moment. While it may, a note "TmpZinV<n>.txt" in the temporary folder, locked
// like a working copy, names the folder, so that the next start finds such a file of a process
// that was killed in that moment. Returns the note's name, empty when it cannot be made.
QString TempVermerkAnlegen(const QString &ordner);
// The name ".<name>.zindara-<pid>-<n>.tmp" beside the file `ziel`, for this process.
QString DanebenName(const QString &ziel, int n);
// The process id in such a name, 0 when `name` is none.
qint64 DanebenPid(const QString &name);
// Removes the note once no such file is left.
void TempVermerkLoeschen(const QString &vermerk);

// Removes the working copies of processes that no longer run, and the files their notes name,
// and only those: a copy still held by a running process, this one included, stays. The program
// and the command line call this once at their start. Returns the number of files removed.
int VerwaisteTempDateienEntfernen();
