#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The audio facts and the audio file object's text fields of one file, for `info`.
// Adds "audio" and "fields" to the file's JSON object.
void addAudioInfo(const QString &fileName, QJsonObject &fileObject);
// The same facts as readable German lines.
QStringList audioInfoLines(const QString &fileName);
