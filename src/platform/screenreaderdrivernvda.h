#pragma once

#include "screenreaderdriver.h"

#include <QtGlobal>
#include <memory>

#if defined(_WIN32) && !defined(_WIN64)
#define ZINDARA_NVDA_CALL __stdcall
#else
#define ZINDARA_NVDA_CALL
#endif

// The entry points of the NVDA controller client; texts are NUL-terminated UTF-16, status 0 is
// success.
using TnvdaController_speakText = quint32(ZINDARA_NVDA_CALL *)(const char16_t *AText);
using TnvdaController_brailleMessage = quint32(ZINDARA_NVDA_CALL *)(const char16_t *AMessage);
using TnvdaController_cancelSpeech = quint32(ZINDARA_NVDA_CALL *)();
using TnvdaController_testIfRunning = quint32(ZINDARA_NVDA_CALL *)();

// What NVDA needs from the system: its window and its controller client library.
class TNvdaBinding : public TWindowFinder {
public:
    // A handle for the loaded library, 0 when it cannot be loaded.
    virtual quintptr LoadClientLibrary(const QString &AName) = 0;
    virtual void FreeClientLibrary(quintptr AHandle) = 0;
    // Empty when the library has no entry point of that name.
    virtual void *EntryPoint(quintptr AHandle, const char *AName) = 0;

    // The binding of this system; off Windows it finds neither window nor library.
    static std::unique_ptr<TNvdaBinding> System();
};

class TScreenReaderDriverNVDA : public TScreenReaderDriver {
public:
    TScreenReaderDriverNVDA(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                            std::unique_ptr<TNvdaBinding> ABinding = TNvdaBinding::System());
    ~TScreenReaderDriverNVDA() override;

    bool Speak(const QString &S, bool Interrupt) override;
    bool Braille(const QString &S) override;
    bool IsSpeaking() override;
    bool Silence() override;
    bool IsActive() override;

private:
    void Connect();
    void Disconnect();

    std::unique_ptr<TNvdaBinding> FBinding;
    quintptr Controller = 0;
    TnvdaController_speakText nvdaController_speakText = nullptr;
    TnvdaController_brailleMessage nvdaController_brailleMessage = nullptr;
    TnvdaController_cancelSpeech nvdaController_cancelSpeech = nullptr;
    TnvdaController_testIfRunning nvdaController_testIfRunning = nullptr;
};
