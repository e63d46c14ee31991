#include "cutting/tagextents.h"

TTagUmfang TagUmfangLesen(QIODevice &datei)
{
    TTagUmfang u;
    const qint64 groesse = datei.size();
    if (groesse >= 10 && datei.seek(0)) {
        const QByteArray h = datei.read(10);
        if (h.size() == 10 && h.startsWith("ID3")) {
            const int major = quint8(h[3]);
            if (major >= 2 && major <= 4) {
                // The size bytes are taken as they stand, high bits included.
                u.ID3v2 = (qint64(quint8(h[6])) << 21) + (qint64(quint8(h[7])) << 14)
                          + (qint64(quint8(h[8])) << 7) + qint64(quint8(h[9])) + 10;
                if (major == 4 && (quint8(h[5]) & 0x10))
                    u.ID3v2 += 10;
            }
        }
    }
    if (groesse >= 128 && datei.seek(groesse - 128)) {
        if (datei.read(3) == "TAG")
            u.ID3v1 = 128;
    }
    return u;
}
