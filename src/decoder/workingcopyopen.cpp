#include "decoder/workingcopyopen.h"

#include "cutting/workingcopy.h"

#include <future>
#include <system_error>

TGeoeffneteKopie ArbeitskopieOeffnen(const QString &quelle, const QString &kopie)
{
    std::future<std::unique_ptr<TMpgDecoder>> scan;
    const auto scanStarten = [&](qint64 anfang, qint64 anzahl) {
        try {
            scan = std::async(std::launch::async, [quelle, anfang, anzahl] {
                auto decoder = std::make_unique<TMpgDecoder>();
                if (decoder->open(quelle, anfang, anzahl) != TMpgDecoder::OpenResult::Ok)
                    decoder.reset();
                return decoder;
            });
        } catch (const std::system_error &) {
            // No thread to be had: the player scans the copy afterwards.
        }
    };
    TGeoeffneteKopie ergebnis;
    TByteCopy kopierer;
    ergebnis.kopiert = ArbeitskopieErstellen(quelle, kopie, kopierer, scanStarten);
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
