#include "platform/programfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZINDARA_DATA_FROM_BIN
#define ZINDARA_DATA_FROM_BIN "../share/zindara"
#endif

QString ProgrammDateiIn(const QString &programFolder, const QString &name)
{
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    // Relative to the program, so that a prefix unpacked anywhere finds its own files.
    const QString installed =
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(ZINDARA_DATA_FROM_BIN "/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

QString ProgrammDatei(const QString &name)
{
    return ProgrammDateiIn(QCoreApplication::applicationDirPath(), name);
}
