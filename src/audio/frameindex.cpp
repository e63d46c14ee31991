#include "audio/frameindex.h"

#include "audio/headerframe.h"
#include "audio/mpeginfo.h"

#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {

// The stretch's bytes, read in large blocks (from a file without moving its position). Reading
// costs less than mapping: a walk touches every page anyway.
class TLeser {
public:
    TLeser(QIODevice &geraet, qint64 anfang, qint64 anzahl) : FGeraet(geraet), FAnfang(anfang), FGroesse(anzahl)
    {
        if (auto *datei = qobject_cast<QFileDevice *>(&geraet))
            FHandle = datei->handle();
    }

    qint64 Groesse() const { return FGroesse; }
    bool Fehler() const { return FFehler; }

    // The `n` bytes at `pos`; nullptr past the end or after a read error.
    const quint8 *Bytes(qint64 pos, qint64 n)
    {
        if (pos < 0 || pos + n > FGroesse || FFehler)
            return nullptr;
        if (pos < FBlockStart || pos + n > FBlockStart + FBlockLaenge) {
            const qint64 laenge = qMin<qint64>(BlockGroesse, FGroesse - pos);
            FBlock.resize(size_t(BlockGroesse));
            char *ziel = reinterpret_cast<char *>(FBlock.data());
            qint64 gelesen = 0;
            if (FHandle >= 0) {
                while (gelesen < laenge) {
                    const ssize_t r = ::pread(FHandle, ziel + gelesen, size_t(laenge - gelesen), off_t(FAnfang + pos + gelesen));
                    if (r <= 0)
                        break;
                    gelesen += r;
                }
            } else if (FGeraet.seek(FAnfang + pos)) {
                gelesen = FGeraet.read(ziel, laenge);
            }
            if (gelesen != laenge) {
                FFehler = true;
                return nullptr;
            }
            FBlockStart = pos;
            FBlockLaenge = laenge;
        }
        return FBlock.data() + (pos - FBlockStart);
    }

private:
    static constexpr qint64 BlockGroesse = 1 << 20;
    QIODevice &FGeraet;
    qint64 FAnfang;
    qint64 FGroesse;
    int FHandle = -1;
    std::vector<quint8> FBlock;
    qint64 FBlockStart = 0;
    qint64 FBlockLaenge = 0;
    bool FFehler = false;
};

struct TKopf {
    TFrameHeaderRec h;
    qint64 laenge = 0;
};

TKopf kopfBei(TLeser &l, qint64 pos)
{
    const quint8 *b = l.Bytes(pos, 4);
    if (!b || b[0] != 0xFF)
        return {};
    const TFrameHeaderRec h = TMpegInfo::ParseFrameHeader(b, 0);
    if (!h.valid || h.bitrate == 0 || pos + h.framelength > l.Groesse())
        return {};
    return {h, h.framelength};
}

bool gleicheArt(const TFrameHeaderRec &a, const TFrameHeaderRec &b)
{
    return a.version == b.version && a.layer == b.layer && a.samplerate == b.samplerate;
}

// The first frame at or after `pos`: one that a frame of its kind follows or that ends the stretch.
qint64 frameAb(TLeser &l, qint64 pos, const TFrameHeaderRec *art)
{
    if (art) {
        const TKopf k = kopfBei(l, pos);
        if (k.laenge > 0 && gleicheArt(k.h, *art))
            return pos;
    }
    for (qint64 p = pos; p + 4 <= l.Groesse(); ++p) {
        const quint8 *b = l.Bytes(p, qMin<qint64>(4096, l.Groesse() - p));
        if (!b)
            return -1;
        const qint64 n = qMin<qint64>(4096, l.Groesse() - p);
        const void *treffer = std::memchr(b, 0xFF, size_t(n));
        if (!treffer) {
            p += n - 1;
            continue;
        }
        p += static_cast<const quint8 *>(treffer) - b;
        const TKopf k = kopfBei(l, p);
        if (k.laenge == 0)
            continue;
        const qint64 weiter = p + k.laenge;
        if (weiter == l.Groesse())
            return p;
        const TKopf n2 = kopfBei(l, weiter);
        if (n2.laenge > 0 && gleicheArt(n2.h, k.h))
            return p;
        if (weiter < l.Groesse() && weiter + 4 > l.Groesse())
            return p; // a frame that ends in a cut-off header
    }
    return -1;
}

qint32 samplesProFrame(const TFrameHeaderRec &h)
{
    return h.layer == 1 ? 384 : h.layer == 2 || h.version == 1 ? 1152 : 576;
}

} // namespace

bool TFrameIndex::Lesen(QIODevice &geraet, qint64 anfang, qint64 anzahl)
{
    *this = TFrameIndex();
    FAnfang = anfang;
    FGroesse = anzahl;
    TLeser l(geraet, anfang, anzahl);
    qint64 p = frameAb(l, 0, nullptr);
    if (p < 0)
        return false;
    const TFrameHeaderRec art = kopfBei(l, p).h;
    FVersion = art.version;
    FLayer = art.layer;
    FSamplerate = art.samplerate;
    FSamplesProFrame = samplesProFrame(art);
    if (art.layer == 3) {
        FKopf = KopfFrameLesen(l.Bytes(p, art.framelength), art.framelength);
        if (FKopf.Vorhanden)
            p = frameAb(l, p + art.framelength, &art);
    }
    bool erstes = true;
    while (p >= 0) {
        const TKopf k = kopfBei(l, p);
        if (!gleicheArt(k.h, art)) {
            FGemischt = true;
            break;
        }
        if (FFrames % Schritt == 0)
            FTabelle.push_back(p);
        if (erstes) {
            std::memcpy(FVorlage.data(), l.Bytes(p, 4), 4);
            FBitrateMin = FBitrateMax = k.h.bitrate;
            erstes = false;
        }
        FBitrateMin = qMin(FBitrateMin, k.h.bitrate);
        FBitrateMax = qMax(FBitrateMax, k.h.bitrate);
        ++FFrames;
        FEnde = p + k.laenge;
        p = FEnde + 4 <= anzahl ? frameAb(l, FEnde, &art) : -1;
    }
    FTabelle.shrink_to_fit();
    return !l.Fehler() && FFrames > 0;
}

qint64 TFrameIndex::LaengeMs() const
{
    return FSamplerate > 0 ? FFrames * FSamplesProFrame * 1000 / FSamplerate : 0;
}

qint64 TFrameIndex::FrameBeiMs(qint64 ms) const
{
    if (FSamplerate <= 0 || ms <= 0)
        return 0;
    return qMin(FFrames, ms * FSamplerate / (1000 * qint64(FSamplesProFrame)));
}

qint64 TFrameIndex::FramesFuerMs(qint64 ms) const
{
    if (FSamplerate <= 0 || ms <= 0)
        return 0;
    const qint64 teiler = 1000 * qint64(FSamplesProFrame);
    return (ms * FSamplerate + teiler / 2) / teiler;
}

qint64 TFrameIndex::FrameStart(QIODevice &geraet, qint64 frame) const
{
    if (frame >= FFrames)
        return FEnde;
    if (frame <= 0)
        return ErsterFrame();
    TLeser l(geraet, FAnfang, FGroesse);
    qint64 p = FTabelle[size_t(frame / Schritt)];
    TKopf art = kopfBei(l, p);
    for (qint64 i = frame % Schritt; i > 0 && p >= 0; --i)
        p = frameAb(l, p + kopfBei(l, p).laenge, &art.h);
    return l.Fehler() ? -1 : p;
}

qint64 TFrameIndex::FrameVor(QIODevice &geraet, qint64 position) const
{
    if (FTabelle.empty() || position <= FTabelle.front())
        return 0;
    if (position >= FEnde)
        return FFrames;
    const auto it = std::upper_bound(FTabelle.begin(), FTabelle.end(), position) - 1;
    qint64 frame = (it - FTabelle.begin()) * Schritt;
    TLeser l(geraet, FAnfang, FGroesse);
    qint64 p = *it;
    const TKopf art = kopfBei(l, p);
    while (frame + 1 < FFrames) {
        const qint64 n = frameAb(l, p + kopfBei(l, p).laenge, &art.h);
        if (n < 0 || n > position)
            break;
        p = n;
        ++frame;
    }
    return frame;
}

qint64 TFrameIndex::UngefaehrerStart(qint64 frame) const
{
    if (frame >= FFrames)
        return FEnde;
    if (frame <= 0 || FTabelle.empty())
        return ErsterFrame();
    const size_t k = size_t(frame / Schritt);
    const qint64 a = FTabelle[k];
    const qint64 b = k + 1 < FTabelle.size() ? FTabelle[k + 1] : FEnde;
    const qint64 bis = k + 1 < FTabelle.size() ? Schritt : FFrames - qint64(k) * Schritt;
    return a + (b - a) * (frame % Schritt) / qMax<qint64>(1, bis);
}
