#pragma once

#include "decoder/mpgdecoder.h"

#include <QString>
#include <memory>

struct TGeoeffneteKopie {
    bool kopiert = false;
    // Scanned and reading from the copy; null when the scan found no audio or the copy does
    // not hold the bytes scanned (the player then opens the copy itself).
    std::unique_ptr<TMpgDecoder> decoder;
};

// What opening a file takes: the working copy `kopie` of `quelle` is written while another
// thread scans the same bytes of `quelle` for the player, so the two take the time of one.
TGeoeffneteKopie ArbeitskopieOeffnen(const QString &quelle, const QString &kopie);
