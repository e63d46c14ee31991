#pragma once

#include "screenreaderdriver.h"

#include <memory>

// The JAWS automation object (IJawsApi). Each call is true when it went through and JAWS
// answered true.
class IJawsApi {
public:
    virtual ~IJawsApi() = default;
    virtual bool SayString(const QString &AText, bool AFlush) = 0;
    virtual bool StopSpeech() = 0;
    virtual bool RunFunction(const QString &AFunctionCall) = 0;
};

// What JAWS needs from the system: its window and its automation object.
class TJawsBinding : public TWindowFinder {
public:
    // Empty when the object cannot be created (no JAWS installed, no COM).
    virtual std::unique_ptr<IJawsApi> CreateApi() = 0;

    // The binding of this system; off Windows it finds neither window nor object.
    static std::unique_ptr<TJawsBinding> System();
};

class TScreenReaderDriverJAWS : public TScreenReaderDriver {
public:
    TScreenReaderDriverJAWS(const QString &AScreenReaderName, bool ASpeech, bool ABraille,
                            std::unique_ptr<TJawsBinding> ABinding = TJawsBinding::System());
    ~TScreenReaderDriverJAWS() override;

    bool Speak(const QString &S, bool Interrupt) override;
    bool Braille(const QString &S) override;
    bool IsSpeaking() override;
    bool Silence() override;
    bool IsActive() override;

    bool IsConnected() const { return Controller != nullptr; }

private:
    void Connect();
    void Disconnect();

    std::unique_ptr<TJawsBinding> FBinding;
    std::unique_ptr<IJawsApi> Controller;
};
