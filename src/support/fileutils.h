#pragma once

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// Raised when a file the program must have cannot be created.
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const QString &message);
};

// Size of the named file in bytes, -1 when there is no such file.
qint64 DateiGroesse(const QString &name);

// The system's temporary folder with a trailing "/".
QString TempOrdner();

// A temporary file name in TempOrdner(): the first three characters of `prefix`, hexadecimal
// digits and ".tmp". With `unique` 0 a free name is picked and the empty file created; empty
// text when that fails.
QString TempDateiName(const QString &prefix, quint32 unique);

// Reserves "TmpZinS<n>.mp3" in the temporary folder (the first free n from 1) and creates it
// empty. Raises EFileError when the file cannot be created.
QString TempMp3Name();
