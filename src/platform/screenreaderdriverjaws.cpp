#include "screenreaderdriverjaws.h"

namespace {

class TNoJawsBinding final : public TJawsBinding {
public:
    bool FindTopLevelWindow(const QString &, const QString &) override { return false; }
    std::unique_ptr<IJawsApi> CreateApi() override { return nullptr; }
};

} // namespace

std::unique_ptr<TJawsBinding> TJawsBinding::System()
{
    return std::make_unique<TNoJawsBinding>();
}

TScreenReaderDriverJAWS::TScreenReaderDriverJAWS(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                                                 std::unique_ptr<TJawsBinding> ABinding)
    : TScreenReaderDriver(AScreenReaderName, ASpeech, ABraille), FBinding(std::move(ABinding))
{
    Connect();
}

TScreenReaderDriverJAWS::~TScreenReaderDriverJAWS()
{
    Disconnect();
}

void TScreenReaderDriverJAWS::Connect()
{
    if (!Controller && FBinding)
        Controller = FBinding->CreateApi();
}

void TScreenReaderDriverJAWS::Disconnect()
{
    Controller.reset();
}

bool TScreenReaderDriverJAWS::IsActive()
{
    if (!FBinding || !FBinding->FindTopLevelWindow(QStringLiteral("JFWUI2"), QString())) {
        Disconnect();
        return false;
    }
    Connect();
    return Controller != nullptr;
}

bool TScreenReaderDriverJAWS::Speak(const QString &S, bool Interrupt)
{
    if (S.isEmpty() || !Controller)
        return false;
    return Controller->SayString(S, Interrupt);
}

bool TScreenReaderDriverJAWS::Braille(const QString &S)
{
    if (S.isEmpty() || !Controller)
        return false;
    // A double quote would end the script's string argument.
    QString text = S;
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    return Controller->RunFunction(QStringLiteral("BrailleString(\"%1\")").arg(text));
}

bool TScreenReaderDriverJAWS::Silence()
{
    return Controller && Controller->StopSpeech();
}

bool TScreenReaderDriverJAWS::IsSpeaking()
{
    return false;
}
