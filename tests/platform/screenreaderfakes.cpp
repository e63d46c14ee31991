#include "screenreaderfakes.h"

#include <gtest/gtest.h>

namespace srfake {

namespace {

class FakeJawsApi final : public IJawsApi {
public:
    explicit FakeJawsApi(std::shared_ptr<JawsState> AState) : s(std::move(AState)) {}
    ~FakeJawsApi() override { ++s->released; }
    bool SayString(const QString &AText, bool AFlush) override
    {
        s->said.emplace_back(AText, AFlush);
        s->log << "say";
        return s->sayResult;
    }
    bool StopSpeech() override
    {
        ++s->stops;
        return s->stopResult;
    }
    bool RunFunction(const QString &AFunctionCall) override
    {
        s->functions << AFunctionCall;
        s->log << "run";
        return s->runResult;
    }

private:
    std::shared_ptr<JawsState> s;
};

class FakeJawsBinding final : public TJawsBinding {
public:
    explicit FakeJawsBinding(std::shared_ptr<JawsState> AState) : s(std::move(AState)) {}
    bool FindTopLevelWindow(const QString &AClassName, const QString &) override
    {
        return s->window && AClassName == "JFWUI2";
    }
    std::unique_ptr<IJawsApi> CreateApi() override
    {
        if (!s->canCreate)
            return nullptr;
        ++s->created;
        return std::make_unique<FakeJawsApi>(s);
    }

private:
    std::shared_ptr<JawsState> s;
};

NvdaState *nvda = nullptr;

QString text(const char16_t *AText)
{
    return QString::fromUtf16(AText);
}

quint32 speakText(const char16_t *AText)
{
    nvda->calls << "speak:" + text(AText);
    return nvda->speakStatus;
}

quint32 brailleMessage(const char16_t *AText)
{
    nvda->calls << "braille:" + text(AText);
    return nvda->brailleStatus;
}

quint32 cancelSpeech()
{
    nvda->calls << "cancel";
    return nvda->cancelStatus;
}

quint32 testIfRunning()
{
    return nvda->runningStatus;
}

constexpr quintptr LibraryHandle = 0x4e56;

class FakeNvdaBinding final : public TNvdaBinding {
public:
    bool FindTopLevelWindow(const QString &AClassName, const QString &ATitle) override
    {
        return nvda->window && AClassName == "wxWindowClassNR" && ATitle == "NVDA";
    }
    quintptr LoadClientLibrary(const QString &AName) override
    {
        nvda->loadedNames << AName;
        return nvda->library ? LibraryHandle : 0;
    }
    void FreeClientLibrary(quintptr AHandle) override
    {
        EXPECT_EQ(AHandle, LibraryHandle);
        ++nvda->freed;
    }
    void *EntryPoint(quintptr AHandle, const char *AName) override
    {
        EXPECT_EQ(AHandle, LibraryHandle);
        const std::string name = AName;
        if (!nvda->entries.count(name))
            return nullptr;
        if (name == "nvdaController_speakText")
            return reinterpret_cast<void *>(&speakText);
        if (name == "nvdaController_brailleMessage")
            return reinterpret_cast<void *>(&brailleMessage);
        if (name == "nvdaController_cancelSpeech")
            return reinterpret_cast<void *>(&cancelSpeech);
        if (name == "nvdaController_testIfRunning")
            return reinterpret_cast<void *>(&testIfRunning);
        return nullptr;
    }
};

class FakeOrcaBinding final : public TOrcaBinding {
public:
    explicit FakeOrcaBinding(std::shared_ptr<OrcaState> AState) : s(std::move(AState)) {}
    qint64 NowMs() override { return s->now; }
    bool OrcaRunning() override
    {
        ++s->processChecks;
        return s->running;
    }
    bool SpeechConnect() override
    {
        ++s->speechConnects;
        return s->speechAnswers;
    }
    bool SpeechAlive() override { return s->alive; }
    void SpeechDisconnect() override { ++s->speechDisconnects; }
    bool SpeechSay(const QString &AText) override
    {
        s->log << "say:" + AText;
        return true;
    }
    bool SpeechCancel() override
    {
        s->log << "cancel";
        return s->cancelWorks;
    }
    bool SpeechBusy() override { return false; }
    bool BrailleConnect() override
    {
        ++s->brailleConnects;
        return s->brailleAnswers;
    }
    void BrailleDisconnect() override { ++s->brailleDisconnects; }
    bool BrailleWrite(const QString &AText) override
    {
        s->log << "braille:" + AText;
        return s->writeWorks;
    }

private:
    std::shared_ptr<OrcaState> s;
};

} // namespace

std::unique_ptr<TJawsBinding> jawsBinding(std::shared_ptr<JawsState> AState)
{
    return std::make_unique<FakeJawsBinding>(std::move(AState));
}

std::set<std::string> allNvdaEntries()
{
    return {"nvdaController_speakText", "nvdaController_brailleMessage", "nvdaController_cancelSpeech",
            "nvdaController_testIfRunning"};
}

NvdaScope::NvdaScope()
{
    nvda = &state;
}

NvdaScope::~NvdaScope()
{
    nvda = nullptr;
}

std::unique_ptr<TNvdaBinding> nvdaBinding()
{
    return std::make_unique<FakeNvdaBinding>();
}

std::unique_ptr<TOrcaBinding> orcaBinding(std::shared_ptr<OrcaState> AState)
{
    return std::make_unique<FakeOrcaBinding>(std::move(AState));
}

} // namespace srfake
