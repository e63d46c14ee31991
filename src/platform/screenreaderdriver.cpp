#include "screenreaderdriver.h"

TScreenReaderDriver::TScreenReaderDriver(const QString &AScreenReaderName, bool ASpeech, bool ABraille)
    : FName(AScreenReaderName), FHasSpeech(ASpeech), FHasBraille(ABraille)
{
}

TScreenReaderDriver::~TScreenReaderDriver() = default;

bool TScreenReaderDriver::Output(const QString &S, bool Interrupt)
{
    const bool spoken = Speak(S, Interrupt);
    const bool brailled = Braille(S);
    return spoken || brailled;
}
