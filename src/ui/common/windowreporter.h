#pragma once

#include "cutting/cutreporter.h"

#include <QPointer>
#include <QWidget>
#include <functional>

// How a window takes the engine's reports during a long copy: memo lines through the window's
// callbacks, messages through MeldungZeigen owned by the window, the error sound, and pending
// window messages handled so the window repaints and the screen reader reads the newest line.
class TFensterReporter : public TCutReporter {
public:
    using TMemoZeile = std::function<void(const QString &)>;
    using TMemoLeeren = std::function<void()>;

    explicit TFensterReporter(QWidget *fenster, TMemoZeile memoText = {}, TMemoLeeren memoZuruecksetzen = {});

    void MemoZuruecksetzen() override;
    void MemoText(const QString &line) override;
    void NachrichtenVerarbeiten() override;
    void FehlerTon() override;
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override;

private:
    QPointer<QWidget> FFenster;
    TMemoZeile FMemoText;
    TMemoLeeren FMemoZuruecksetzen;
};
