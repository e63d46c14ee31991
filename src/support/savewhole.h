#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Replaces `datei` with `bytes` as a whole or not at all: written under a temporary name
// beside it and renamed over it only when every byte arrived. With `rechte` given the new file
// gets exactly these permissions. False when the old file (if any) is unchanged.
bool GanzSpeichern(const QString &datei, const QByteArray &bytes, QFileDevice::Permissions rechte = {});
