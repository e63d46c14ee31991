#include "cutting/cutreporter.h"

TCutReporter::~TCutReporter() = default;

void TCutReporter::MemoZuruecksetzen() {}

void TCutReporter::MemoText(const QString &) {}

void TCutReporter::NachrichtenVerarbeiten() {}

void TCutReporter::FehlerTon() {}

TMeldungAntwort TCutReporter::Meldung(const QString &, TMeldungArt, TMeldungKnoepfe knoepfe)
{
    return knoepfe == TMeldungKnoepfe::Ok ? TMeldungAntwort::Ok : TMeldungAntwort::Ja;
}
