#pragma once

#include "screenreaderdriver.h"

#include <functional>
#include <memory>
#include <vector>

// The program's one way to the running screen reader: finds out at every call which one runs and
// passes the text on. Without a screen reader every call returns false.
class TScreenReaderOutput {
public:
    using TDriverList = std::vector<std::unique_ptr<TScreenReaderDriver>>;
    // Makes the drivers in the order they are tried.
    using TDriverFactory = std::function<TDriverList()>;

    // JAWS, then NVDA, then Orca, over the bindings of this system.
    TScreenReaderOutput();
    explicit TScreenReaderOutput(TDriverFactory AFactory);
    ~TScreenReaderOutput();
    TScreenReaderOutput(const TScreenReaderOutput &) = delete;
    TScreenReaderOutput &operator=(const TScreenReaderOutput &) = delete;

    static TDriverList SystemDrivers();

    bool Load();
    bool Unload();
    bool IsLoaded() const { return FIsLoaded; }

    // The name of the active screen reader, empty when none runs.
    QString DetectScreenReader();
    bool HasSpeech();
    bool HasBraille();
    bool Output(const QString &S, bool Interrupt);
    bool Speak(const QString &S, bool Interrupt);
    bool Stop();
    bool Braille(const QString &S);
    bool IsSpeaking();
    bool Silence();

private:
    TScreenReaderDriver *Current();

    TDriverFactory FFactory;
    bool FIsLoaded = false;
    TDriverList List;
    TScreenReaderDriver *CurrentSRD = nullptr;
};
