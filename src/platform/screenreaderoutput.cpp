#include "screenreaderoutput.h"

#include "screenreaderdriverjaws.h"
#include "screenreaderdrivernvda.h"
#include "screenreaderdriverorca.h"

TScreenReaderOutput::TScreenReaderOutput() : TScreenReaderOutput(&TScreenReaderOutput::SystemDrivers) {}

TScreenReaderOutput::TScreenReaderOutput(TDriverFactory AFactory) : FFactory(std::move(AFactory)) {}

TScreenReaderOutput::~TScreenReaderOutput()
{
    Unload();
}

TScreenReaderOutput::TDriverList TScreenReaderOutput::SystemDrivers()
{
    TDriverList drivers;
    drivers.push_back(std::make_unique<TScreenReaderDriverJAWS>(QStringLiteral("JAWS"), true, true));
    drivers.push_back(std::make_unique<TScreenReaderDriverNVDA>(QStringLiteral("NVDA"), true, true));
    drivers.push_back(std::make_unique<TScreenReaderDriverOrca>(QStringLiteral("Orca"), true, true));
    return drivers;
}

bool TScreenReaderOutput::Load()
{
    if (FIsLoaded)
        return true;
    if (FFactory)
        List = FFactory();
    CurrentSRD = nullptr;
    FIsLoaded = true;
    return true;
}

bool TScreenReaderOutput::Unload()
{
    if (!FIsLoaded)
        return false;
    CurrentSRD = nullptr;
    List.clear();
    FIsLoaded = false;
    return true;
}

QString TScreenReaderOutput::DetectScreenReader()
{
    if (!FIsLoaded)
        return QString();
    try {
        CurrentSRD = nullptr;
        for (const auto &driver : List) {
            if (driver && driver->IsActive()) {
                CurrentSRD = driver.get();
                break;
            }
        }
        if (CurrentSRD && CurrentSRD->IsActive())
            return CurrentSRD->Name();
    } catch (...) {
    }
    CurrentSRD = nullptr;
    return QString();
}

TScreenReaderDriver *TScreenReaderOutput::Current()
{
    return DetectScreenReader().isEmpty() ? nullptr : CurrentSRD;
}

bool TScreenReaderOutput::HasSpeech()
{
    auto *driver = Current();
    return driver && driver->HasSpeech();
}

bool TScreenReaderOutput::HasBraille()
{
    auto *driver = Current();
    return driver && driver->HasBraille();
}

bool TScreenReaderOutput::Output(const QString &S, bool Interrupt)
{
    if (S.isEmpty())
        return false;
    auto *driver = Current();
    return driver && driver->Output(S, Interrupt);
}

bool TScreenReaderOutput::Speak(const QString &S, bool Interrupt)
{
    if (S.isEmpty())
        return false;
    auto *driver = Current();
    return driver && driver->Speak(S, Interrupt);
}

bool TScreenReaderOutput::Braille(const QString &S)
{
    if (S.isEmpty())
        return false;
    auto *driver = Current();
    return driver && driver->Braille(S);
}

bool TScreenReaderOutput::IsSpeaking()
{
    auto *driver = Current();
    return driver && driver->IsSpeaking();
}

bool TScreenReaderOutput::Silence()
{
    auto *driver = Current();
    return driver && driver->Silence();
}

bool TScreenReaderOutput::Stop()
{
    return Silence();
}
