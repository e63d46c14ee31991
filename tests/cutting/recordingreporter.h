#pragma once

#include "cutting/cutreporter.h"

#include <QStringList>
#include <vector>

// Keeps everything the engine reports, in order, and gives prepared answers to questions.
class TRecordingReporter : public TCutReporter {
public:
    struct Box {
        QString text;
        TMeldungArt art;
        TMeldungKnoepfe knoepfe;
    };

    QStringList memo;
    std::vector<Box> boxes;
    int nachrichten = 0;
    int fehlerToene = 0;
    std::vector<TMeldungAntwort> antworten; // taken from the front; Ok or Ja when used up

    void MemoZuruecksetzen() override
    {
        memo = QStringList{MemoKopfzeile};
    }
    void MemoText(const QString &line) override { memo << line; }
    void NachrichtenVerarbeiten() override { ++nachrichten; }
    void FehlerTon() override { ++fehlerToene; }
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        boxes.push_back({text, art, knoepfe});
        if (!antworten.empty()) {
            const TMeldungAntwort a = antworten.front();
            antworten.erase(antworten.begin());
            return a;
        }
        return TCutReporter::Meldung(text, art, knoepfe);
    }

    QStringList boxTexts() const
    {
        QStringList t;
        for (const Box &b : boxes)
            t << b.text;
        return t;
    }
};
