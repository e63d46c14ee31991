#pragma once

#include <QFile>

// How opening a file that must be a regular one ended.
enum class TDateiOeffnen { Offen, KeineDatei, Fehler };

// Opens the named file of `datei` for reading, unbuffered, only when it is a regular file (a
// link to one counts): a pipe or a device (KeineDatei) is never waited on, as opening or
// reading it could wait forever. A folder cannot be opened (Fehler), like a missing file.
TDateiOeffnen DateiZumLesenOeffnen(QFile &datei);

// True when `name` is a pipe, a device or a socket: neither a regular file nor a folder.
bool SonderDatei(const QString &name);
