#pragma once

#include <QString>

// One screen reader that can speak and braille a text. Every result is true for success.
class TScreenReaderDriver {
public:
    TScreenReaderDriver(const QString &AScreenReaderName, bool ASpeech, bool ABraille);
    virtual ~TScreenReaderDriver();
    TScreenReaderDriver(const TScreenReaderDriver &) = delete;
    TScreenReaderDriver &operator=(const TScreenReaderDriver &) = delete;

    // Interrupt first silences speech in progress; otherwise the text queues behind it.
    virtual bool Speak(const QString &S, bool Interrupt) = 0;
    virtual bool Braille(const QString &S) = 0;
    virtual bool IsSpeaking() = 0;
    virtual bool Silence() = 0;
    // The screen reader runs and can be reached.
    virtual bool IsActive() = 0;
    // Speaks, then brailles (always both); true when either succeeded.
    virtual bool Output(const QString &S, bool Interrupt);

    QString Name() const { return FName; }
    bool HasSpeech() const { return FHasSpeech; }
    bool HasBraille() const { return FHasBraille; }

protected:
    QString FName;
    bool FHasSpeech;
    bool FHasBraille;
};

// The search for top-level windows of the desktop the screen readers of Windows run on.
class TWindowFinder {
public:
    virtual ~TWindowFinder() = default;
    // An empty title matches every title.
    virtual bool FindTopLevelWindow(const QString &AClassName, const QString &ATitle) = 0;
};
