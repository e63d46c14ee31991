#include "screenreaderdrivernvda.h"

namespace {

class TNoNvdaBinding final : public TNvdaBinding {
public:
    bool FindTopLevelWindow(const QString &, const QString &) override { return false; }
    quintptr LoadClientLibrary(const QString &) override { return 0; }
    void FreeClientLibrary(quintptr) override {}
    void *EntryPoint(quintptr, const char *) override { return nullptr; }
};

template <typename TEntry> TEntry entryPoint(TNvdaBinding &ABinding, quintptr AHandle, const char *AName)
{
    return reinterpret_cast<TEntry>(ABinding.EntryPoint(AHandle, AName));
}

} // namespace

std::unique_ptr<TNvdaBinding> TNvdaBinding::System()
{
    return std::make_unique<TNoNvdaBinding>();
}

TScreenReaderDriverNVDA::TScreenReaderDriverNVDA(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                                                 std::unique_ptr<TNvdaBinding> ABinding)
    : TScreenReaderDriver(AScreenReaderName, ASpeech, ABraille), FBinding(std::move(ABinding))
{
    Connect();
}

TScreenReaderDriverNVDA::~TScreenReaderDriverNVDA()
{
    Disconnect();
}

void TScreenReaderDriverNVDA::Connect()
{
    if (!FBinding)
        return;
    Controller = FBinding->LoadClientLibrary(QStringLiteral("nvdaControllerClient32.dll"));
    if (Controller == 0)
        return;
    nvdaController_speakText = entryPoint<TnvdaController_speakText>(*FBinding, Controller, "nvdaController_speakText");
    nvdaController_brailleMessage =
        entryPoint<TnvdaController_brailleMessage>(*FBinding, Controller, "nvdaController_brailleMessage");
    nvdaController_cancelSpeech =
        entryPoint<TnvdaController_cancelSpeech>(*FBinding, Controller, "nvdaController_cancelSpeech");
    nvdaController_testIfRunning =
        entryPoint<TnvdaController_testIfRunning>(*FBinding, Controller, "nvdaController_testIfRunning");
}

void TScreenReaderDriverNVDA::Disconnect()
{
    nvdaController_speakText = nullptr;
    nvdaController_brailleMessage = nullptr;
    nvdaController_cancelSpeech = nullptr;
    nvdaController_testIfRunning = nullptr;
    if (Controller != 0)
        FBinding->FreeClientLibrary(Controller);
    Controller = 0;
}

bool TScreenReaderDriverNVDA::IsActive()
{
    return nvdaController_testIfRunning &&
           FBinding->FindTopLevelWindow(QStringLiteral("wxWindowClassNR"), QStringLiteral("NVDA")) &&
           nvdaController_testIfRunning() == 0;
}

bool TScreenReaderDriverNVDA::Speak(const QString &S, bool Interrupt)
{
    if (Interrupt && !Silence())
        return false;
    if (S.isEmpty() || !nvdaController_speakText)
        return false;
    return nvdaController_speakText(reinterpret_cast<const char16_t *>(S.utf16())) == 0;
}

bool TScreenReaderDriverNVDA::Braille(const QString &S)
{
    return !S.isEmpty() && nvdaController_brailleMessage &&
           nvdaController_brailleMessage(reinterpret_cast<const char16_t *>(S.utf16())) == 0;
}

bool TScreenReaderDriverNVDA::Silence()
{
    return nvdaController_cancelSpeech && nvdaController_cancelSpeech() == 0;
}

bool TScreenReaderDriverNVDA::IsSpeaking()
{
    return false;
}
