#pragma once

#include <QString>
#include <QStringList>

// The Exec line of a desktop entry: program and arguments quoted where needed, "%" doubled.
QString ExecZusammensetzen(const QStringList &programAndArguments);
// Splits an Exec value (after the key file's own escapes are undone) into program and
// arguments; field codes such as %f and %U are left out.
QStringList ExecZerlegen(const QString &exec);

// A key file's string value: the escapes \s \n \t \r \\ undone, and the reverse.
QString DesktopWertLesen(const QString &raw);
QString DesktopWertSchreiben(const QString &value);

// The value of `key` in a group of a key file (desktop entry, mimeapps.list), empty when missing.
QString DesktopEintragWert(const QString &desktopFile, const QString &key,
                           const QString &group = QStringLiteral("Desktop Entry"));

// Writes the desktop entry `link` that starts `target` with `arguments` and the chosen files,
// offered for MP3 files; `folder` (or the target's folder) is its working folder. Replaces an
// existing file. `show` and `hotkey` have no counterpart in desktop entries. True when saved.
bool VerknuepfungAnlegen(const QString &link, const QString &target, const QString &arguments, int show,
                         int hotkey, const QString &folder, const QString &description);

// True when the Exec line of `desktopFile` starts `program` (looked up along PATH when it is a
// bare name), compared with links resolved.
bool EintragStartetProgramm(const QString &desktopFile, const QString &program);

// The entry of the same name as `link` in the system's data folders (an installed package's),
// the one the menu would show without `link`; empty when there is none.
QString InstallierterEintrag(const QString &link);

// Rewrites SendToLink() for this program; done at every start, errors ignored. When an installed
// entry of that name already starts this program, SendToLink() is removed instead, so that the
// menu shows one entry, the installed one.
bool SendToVerknuepfungErneuern();
