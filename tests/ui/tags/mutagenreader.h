#pragma once

#include <QJsonObject>
#include <QString>

// What mutagen, an independent ID3 library, reads from a file: {"v2": {"frames": [...]},
// "v1": {"TIT2": ..., "TCON": ...}}. Not available() where python3-mutagen is missing.
class TMutagenReader {
public:
    TMutagenReader();
    bool available() const { return !FPython.isEmpty(); }
    QJsonObject dump(const QString &file) const;

    // The text of ID3v2 frame `id` ("" when absent), and of the ID3v1 field under `key`.
    static QString v2Text(const QJsonObject &dumped, const QString &id);
    static QString v1Text(const QJsonObject &dumped, const QString &key);

private:
    QString FPython;
};
