#include "recordingscreenreader.h"

#include "ui/common/fieldnames.h"

namespace {

class TRecordingDriver final : public TScreenReaderDriver {
public:
    explicit TRecordingDriver(std::shared_ptr<TRecordingScreenReader::Log> ALog)
        : TScreenReaderDriver(QStringLiteral("Recorder"), true, true), FLog(std::move(ALog))
    {
    }
    bool Speak(const QString &S, bool Interrupt) override
    {
        (Interrupt ? FLog->interrupting : FLog->spoken) << S;
        return true;
    }
    bool Braille(const QString &) override { return true; }
    bool IsSpeaking() override { return false; }
    bool Silence() override { return true; }
    bool IsActive() override { return true; }

private:
    std::shared_ptr<TRecordingScreenReader::Log> FLog;
};

} // namespace

TRecordingScreenReader::TRecordingScreenReader()
    : FLog(std::make_shared<Log>()), FOutput([log = FLog] {
          TScreenReaderOutput::TDriverList drivers;
          drivers.push_back(std::make_unique<TRecordingDriver>(log));
          return drivers;
      })
{
    FOutput.Load();
    FPrevious = SprachausgabeSetzen(&FOutput);
}

TRecordingScreenReader::~TRecordingScreenReader()
{
    SprachausgabeSetzen(FPrevious);
}

QStringList TRecordingScreenReader::spoken() const
{
    return FLog->spoken;
}

QStringList TRecordingScreenReader::interrupting() const
{
    return FLog->interrupting;
}

void TRecordingScreenReader::clear()
{
    *FLog = Log{};
}
