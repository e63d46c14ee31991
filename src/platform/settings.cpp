#include "platform/settings.h"

#include "platform/userfolders.h"

#include <QFileInfo>
#include <QPalette>

namespace {

const QString daten = QStringLiteral("Daten");
const QString hintColor = QStringLiteral("HintColor");
const QString fontName = QStringLiteral("FontName");
const QString fontSize = QStringLiteral("FontSize");
const QString fontColor = QStringLiteral("FontColor");
const QString fontCharSet = QStringLiteral("FontCharSet");
const QString fontStyle = QStringLiteral("FontStyle");

// A sign and decimal digits only: QString::toInt would also take tabs or line breaks around them.
int decimalOr(const QString &word, int fallback)
{
    const qsizetype from = (word.startsWith(QLatin1Char('+')) || word.startsWith(QLatin1Char('-'))) ? 1 : 0;
    if (word.size() == from)
        return fallback;
    for (qsizetype i = from; i < word.size(); ++i) {
        if (word.at(i) < QLatin1Char('0') || word.at(i) > QLatin1Char('9'))
            return fallback;
    }
    bool ok = false;
    const int value = word.toInt(&ok, 10);
    return ok ? value : fallback;
}

} // namespace

QColor FarbwertZuFarbe(qint32 value, const QPalette &palette)
{
    const quint32 v = quint32(value);
    if ((v & 0xFF000000u) == 0xFF000000u) {
        switch (v & 0xFFu) {
        case 4: // menu
            return palette.color(QPalette::Window);
        case 5: // window
            return palette.color(QPalette::Base);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button);
        case 16:
            return palette.color(QPalette::Dark);
        case 17:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 18:
            return palette.color(QPalette::ButtonText);
        case 23:
            return palette.color(QPalette::ToolTipText);
        case 24:
            return palette.color(QPalette::ToolTipBase);
        default: // window text and everything else
            return palette.color(QPalette::Text);
        }
    }
    return QColor(int(v & 0xFFu), int((v >> 8) & 0xFFu), int((v >> 16) & 0xFFu));
}

qint32 FarbeZuFarbwert(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return qint32(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

TEinstellungen StandardEinstellungen()
{
    TEinstellungen e;
    e.InitialDirStr = StartOrdner(QString());
    return e;
}

void DatenLesen(const QString &text, TEinstellungen &e)
{
    // Words are maximal runs of characters other than the blank; remember where each starts.
    auto words = [](const QString &t) {
        QList<qsizetype> starts;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t.at(i) != QLatin1Char(' ') && (i == 0 || t.at(i - 1) == QLatin1Char(' ')))
                starts << i;
        }
        return starts;
    };
    QString t = text;
    QList<qsizetype> starts = words(t);
    if (starts.size() < 2) {
        t = QStringLiteral("2 5");
        starts = words(t);
    }
    auto word = [&](int n) {
        const qsizetype from = starts.at(n);
        qsizetype to = t.indexOf(QLatin1Char(' '), from);
        if (to < 0)
            to = t.size();
        return t.mid(from, to - from);
    };
    const int modus = decimalOr(word(0), 2);
    e.Modus = (modus >= 1 && modus <= 3) ? modus : 4;
    e.VorRueckSekunden = qBound(1, decimalOr(word(1), 5), 60);
    e.InitialDirStr = starts.size() > 2 ? t.mid(starts.at(2)) : QString();
}

QString DatenText(const TEinstellungen &e)
{
    return QStringLiteral("%1 %2 %3").arg(e.Modus).arg(e.VorRueckSekunden).arg(e.InitialDirStr);
}

QString StartOrdner(const QString &ordner)
{
    if (!ordner.isEmpty() && QFileInfo(ordner).isDir())
        return ordner;
    return Arbeitsordner();
}

bool RegistryLadenSpeichern(bool LadenS, TEinstellungen &e, TRegistryStore &store)
{
    // One lock for the whole pass, so a save by another copy is never read half done.
    TRegistryStore::Sperre sperre(store);
    const bool open = sperre && store.OpenKey(QString::fromLatin1(EinstellungenSchluessel), true);
    if (LadenS) {
        TEinstellungen loaded = StandardEinstellungen();
        if (open) {
            DatenLesen(store.ReadString(daten).value_or(QString()), loaded);
            loaded.InitialDirStr = StartOrdner(loaded.InitialDirStr);
            loaded.FontName = store.ReadString(fontName).value_or(QString());
            if (loaded.FontName.isEmpty())
                loaded.FontName = QStringLiteral("Arial");
            loaded.FontSize = store.ReadInteger(fontSize).value_or(12);
            loaded.FontColor = store.ReadInteger(fontColor).value_or(clWindowText);
            loaded.FontCharSet = store.ReadInteger(fontCharSet).value_or(0);
            loaded.FontStyle = store.ReadInteger(fontStyle).value_or(0) & (fsItalic | fsBold | fsUnderline | fsStrikeOut);
            loaded.HintergrundNr = store.ReadInteger(hintColor).value_or(1);
        }
        e = loaded;
    } else if (open) {
        // One write for all values, so a save that fails leaves the stored ones as they were.
        const bool written =
            store.WriteValues({{daten, DatenText(e)},
                               {hintColor, qint32(e.HintergrundNr)},
                               {fontName, e.FontName},
                               {fontSize, qint32(e.FontSize)},
                               {fontColor, e.FontColor},
                               {fontCharSet, qint32(e.FontCharSet)},
                               {fontStyle, qint32(e.FontStyle & (fsItalic | fsBold | fsUnderline | fsStrikeOut))}});
        store.CloseKey();
        return written;
    }
    store.CloseKey();
    return open;
}

bool RegistryLadenSpeichern(bool LadenS, TEinstellungen &einstellungen)
{
    TRegistryStore store;
    return RegistryLadenSpeichern(LadenS, einstellungen, store);
}
