#pragma once

#include <QString>

// The full name of a file the program ships beside itself ("History.txt", the update tool).
// Beside the program file when it is there (the build folder); installed into a prefix, the
// program is in <prefix>/bin and its files in <prefix>/share/zindara. When neither holds the
// file, the name beside the program, so that callers find it missing.
QString ProgrammDatei(const QString &name);
// The same for a program in the folder `programFolder`.
QString ProgrammDateiIn(const QString &programFolder, const QString &name);
