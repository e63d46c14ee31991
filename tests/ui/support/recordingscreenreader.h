#pragma once

#include "platform/screenreaderoutput.h"

#include <QStringList>
#include <memory>

// A screen reader that is always running and keeps what the windows hand it. While it lives it
// is the program's screen reader output; the previous one comes back afterwards.
class TRecordingScreenReader {
public:
    TRecordingScreenReader();
    ~TRecordingScreenReader();
    TRecordingScreenReader(const TRecordingScreenReader &) = delete;
    TRecordingScreenReader &operator=(const TRecordingScreenReader &) = delete;

    // The texts queued behind speech in progress, in order, and those that silenced it first
    // (the windows never send such).
    QStringList spoken() const;
    QStringList interrupting() const;
    void clear();

    struct Log {
        QStringList spoken;
        QStringList interrupting;
    };

private:
    std::shared_ptr<Log> FLog;
    TScreenReaderOutput FOutput;
    TScreenReaderOutput *FPrevious;
};
