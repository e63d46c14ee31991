#include "ui/common/windowreporter.h"

#include "platform/sounds.h"
#include "ui/common/messages.h"

#include <QCoreApplication>

TFensterReporter::TFensterReporter(QWidget *fenster, TMemoZeile memoText, TMemoLeeren memoZuruecksetzen)
    : FFenster(fenster), FMemoText(std::move(memoText)), FMemoZuruecksetzen(std::move(memoZuruecksetzen))
{
}

void TFensterReporter::MemoZuruecksetzen()
{
    if (FMemoZuruecksetzen)
        FMemoZuruecksetzen();
}

void TFensterReporter::MemoText(const QString &line)
{
    if (FMemoText)
        FMemoText(line);
}

void TFensterReporter::NachrichtenVerarbeiten()
{
    QCoreApplication::processEvents();
}

void TFensterReporter::FehlerTon()
{
    ::FehlerTon();
}

TMeldungAntwort TFensterReporter::Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe)
{
    return MeldungZeigen(text, art, knoepfe, FFenster);
}
