#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QObject;
class QWindow;

// Show modes as the callers pass them.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
// `code` of ProgrammStarten when no program opens the file.
inline constexpr int SE_ERR_NOASSOC = 31;

// The folder that holds add-on programs ("/opt/"), or empty text when there is none.
QString ProgrammOrdner();

// Whether this is a 32-bit build running on a 64-bit x86 system.
bool IsWindows64();

// Opens a web or mail address, a folder or a document with the desktop's program for it;
// an executable file is started with `parameters` in `folder`. No result.
void ShellOeffnen(QObject *window, const QString &file, const QString &parameters, int show, const QString &verb,
                  const QString &folder);

// Program and leading arguments of the desktop's default application for the file's type,
// empty when there is none.
QStringList ZugeordnetesProgramm(const QString &file);

// Runs `program` (or the associated program of `file`) with `file` and `parameters` in
// `folder`, waiting at most `timeout` ms (compared unsigned, so -1 waits without limit).
// True when it ended with exit code 0. `code` becomes 32 when a program was found, below 32
// when none opens the file, or the system's error number when it could not be started.
// A program still running after the timeout keeps running.
bool ProgrammStarten(const QString &file, int &code, const QString &program, qint32 timeout, bool hidden,
                     const QString &folder, const QString &parameters);

// Restores W when minimised, raises and activates it; true when it is active afterwards.
bool VordergrundErzwingen(QWindow *W);

// Brings this program's top-level window titled `caption` to the front; with `wait` returns
// only once no such window is left. False when there is none.
bool FensterAktivieren(const QString &caption, bool wait);

// Shows a text file in a text editor, waiting for the editor to end when `wait` is true.
// False when the file is missing, no editor is found, or (waiting) the editor failed.
bool TextDateiZeigen(const QString &file, bool wait);
