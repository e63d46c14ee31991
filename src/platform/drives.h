#pragma once

#include <QString>

// Whether the volume that holds `path` (or the nearest folder above it that exists) is
// mounted and answers; never shows anything.
bool LaufwerkBereit(const QString &path);

// The label of that volume, empty when it has none or cannot be asked.
QString LaufwerkName(const QString &path);
