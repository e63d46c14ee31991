#include "ui/common/messages.h"

#include "ui/common/appearance.h"
#include "ui/common/buttonkeys.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace {

TMeldungsAntworter gAntworter;

struct TKnopf {
    QMessageBox::StandardButton Standard;
    const char *Text;
    TMeldungAntwort Antwort;
};

std::vector<TKnopf> Knoepfe(TMeldungKnoepfe knoepfe)
{
    const TKnopf ok{QMessageBox::Ok, "OK", TMeldungAntwort::Ok};
    const TKnopf ja{QMessageBox::Yes, "&Ja", TMeldungAntwort::Ja};
    const TKnopf nein{QMessageBox::No, "&Nein", TMeldungAntwort::Nein};
    const TKnopf abbrechen{QMessageBox::Cancel, "Abbrechen", TMeldungAntwort::Abbrechen};
    switch (knoepfe) {
    case TMeldungKnoepfe::JaNein:
        return {ja, nein};
    case TMeldungKnoepfe::JaNeinAbbrechen:
        return {ja, nein, abbrechen};
    case TMeldungKnoepfe::Ok:
        break;
    }
    return {ok};
}

} // namespace

TMeldungAntwort MeldungZeigen(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe, QWidget *fenster)
{
    QMessageBox box(fenster ? fenster : QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    // The user's font, so that a message is as readable as the window it belongs to.
    box.setFont(ProgrammAussehen().Schrift);
    switch (art) {
    case TMeldungArt::Information:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        break;
    case TMeldungArt::Fehler:
        box.setWindowTitle(QStringLiteral("Fehler"));
        box.setIcon(QMessageBox::Critical);
        break;
    case TMeldungArt::Bestaetigung:
        box.setWindowTitle(QStringLiteral("Bestätigen"));
        box.setIcon(QMessageBox::Question);
        break;
    }

    const std::vector<TKnopf> knopfListe = Knoepfe(knoepfe);
    TMeldung meldung{box.windowTitle(), text, art, knoepfe, {}};
    for (const TKnopf &k : knopfListe) {
        box.addButton(k.Standard)->setText(QString::fromUtf8(k.Text));
        meldung.KnopfTexte << QString::fromUtf8(k.Text);
    }
    box.setDefaultButton(knopfListe.front().Standard);
    KnopfTastenEinrichten(&box);
    // Escape: Cancel when there is one, else No, else OK.
    box.setEscapeButton(knopfListe.back().Standard);

    if (gAntworter)
        return gAntworter(meldung);

    box.exec();
    QAbstractButton *gedrueckt = box.clickedButton();
    for (const TKnopf &k : knopfListe) {
        if (gedrueckt == box.button(k.Standard))
            return k.Antwort;
    }
    return knopfListe.back().Antwort;
}

TMeldungsAntworter MeldungsAntworterSetzen(TMeldungsAntworter antworter)
{
    return std::exchange(gAntworter, std::move(antworter));
}
