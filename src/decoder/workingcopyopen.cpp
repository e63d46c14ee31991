#include "decoder/workingcopyopen.h"

#include "cutting/tagextents.h"
#include "cutting/workingcopy.h"

#include <QFile>
#include <future>
#include <system_error>

TGeoeffneteKopie ArbeitskopieOeffnen(const QString &quelle, const QString &kopie)
{
    TTagUmfang tags;
    qint64 anzahl = 0;
    {
        QFile ein(quelle);
        if (ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            tags = TagUmfangLesen(ein);
            anzahl = ein.size() - tags.ID3v2 - tags.ID3v1;
        }
    }
    std::future<std::unique_ptr<TMpgDecoder>> scan;
    if (anzahl > 0) {
        try {
            scan = std::async(std::launch::async, [quelle, start = tags.ID3v2, anzahl] {
                auto decoder = std::make_unique<TMpgDecoder>();
                if (decoder->open(quelle, start, anzahl) != TMpgDecoder::OpenResult::Ok)
                    decoder.reset();
                return decoder;
            });
        } catch (const std::system_error &) {
            // No thread to be had: the player scans the copy afterwards.
        }
    }
    TGeoeffneteKopie ergebnis;
    ergebnis.kopiert = ArbeitskopieErstellen(quelle, kopie);
    if (scan.valid()) {
        try {
            ergebnis.decoder = scan.get();
        } catch (const std::exception &) {
            ergebnis.decoder.reset();
        }
        if (ergebnis.decoder && (!ergebnis.kopiert || !ergebnis.decoder->switchFile(kopie)))
            ergebnis.decoder.reset();
    }
    return ergebnis;
}
