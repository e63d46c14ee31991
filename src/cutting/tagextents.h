#pragma once

#include <QIODevice>
#include <QString>
#include <QtGlobal>

// Bytes taken by the leading ID3v2 and the trailing ID3v1 tag of a file, found from the bytes
// alone (no tag is parsed). Both are 0 when the tag is missing.
struct TTagUmfang {
    qint64 ID3v2 = 0;
    qint64 ID3v1 = 0;
};

// Reads the extents from a random-access device; its position afterwards is unspecified.
// Read errors count as "no tag".
TTagUmfang TagUmfangLesen(QIODevice &datei);
