#include "platform/screenreaderoutput.h"

#include "screenreaderfakes.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace srfake;

namespace {

struct DriverState {
    bool active = false;
    bool throws = false;
    bool result = true;
    int activeAsks = 0;
    QStringList calls;
};

class FakeDriver final : public TScreenReaderDriver {
public:
    FakeDriver(const QString &AName, bool ABraille, std::shared_ptr<DriverState> AState)
        : TScreenReaderDriver(AName, true, ABraille), s(std::move(AState))
    {
    }
    bool Speak(const QString &S, bool Interrupt) override { return record("Speak", S, Interrupt); }
    bool Braille(const QString &S) override { return record("Braille", S, false); }
    bool IsSpeaking() override { return record("IsSpeaking", {}, false); }
    bool Silence() override { return record("Silence", {}, false); }
    bool Output(const QString &S, bool Interrupt) override { return record("Output", S, Interrupt); }
    bool IsActive() override
    {
        ++s->activeAsks;
        if (s->throws)
            throw std::runtime_error("window search failed");
        return s->active;
    }

private:
    bool record(const QString &AOperation, const QString &S, bool AInterrupt)
    {
        s->calls << QStringLiteral("%1(%2,%3)").arg(AOperation, S, AInterrupt ? "1" : "0");
        return s->result;
    }
    std::shared_ptr<DriverState> s;
};

struct ScreenReaderOutput : ::testing::Test {
    std::shared_ptr<DriverState> jaws = std::make_shared<DriverState>();
    std::shared_ptr<DriverState> nvda = std::make_shared<DriverState>();
    std::shared_ptr<DriverState> orca = std::make_shared<DriverState>();
    int factoryCalls = 0;
    TScreenReaderOutput output{[this] {
        ++factoryCalls;
        TScreenReaderOutput::TDriverList list;
        list.push_back(std::make_unique<FakeDriver>("JAWS", true, jaws));
        list.push_back(std::make_unique<FakeDriver>("NVDA", true, nvda));
        list.push_back(std::make_unique<FakeDriver>("Orca", false, orca));
        return list;
    }};
};

TEST_F(ScreenReaderOutput, FirstActiveDriverInOrderIsUsed)
{
    const struct {
        bool jaws, nvda, orca;
        QString expected;
    } cases[] = {
        {true, true, true, "JAWS"},   {false, true, true, "NVDA"}, {true, false, true, "JAWS"},
        {false, false, true, "Orca"}, {false, false, false, ""},
    };
    output.Load();
    for (const auto &c : cases) {
        jaws->active = c.jaws;
        nvda->active = c.nvda;
        orca->active = c.orca;
        EXPECT_EQ(output.DetectScreenReader(), c.expected) << c.jaws << c.nvda << c.orca;
    }
}

TEST_F(ScreenReaderOutput, NothingHappensBeforeLoadOrAfterUnload)
{
    jaws->active = true;
    EXPECT_FALSE(output.IsLoaded());
    EXPECT_EQ(output.DetectScreenReader(), "");
    EXPECT_FALSE(output.Output("Titel:", false));
    EXPECT_EQ(factoryCalls, 0);

    EXPECT_TRUE(output.Load());
    EXPECT_TRUE(output.Load());
    EXPECT_EQ(factoryCalls, 1);
    EXPECT_EQ(output.DetectScreenReader(), "JAWS");

    EXPECT_TRUE(output.Unload());
    EXPECT_FALSE(output.Unload());
    EXPECT_FALSE(output.Output("Titel:", false));
    EXPECT_TRUE(jaws->calls.empty());
}

TEST_F(ScreenReaderOutput, EmptyTextIsNotSentNorDetected)
{
    output.Load();
    jaws->active = true;
    EXPECT_FALSE(output.Output("", false));
    EXPECT_FALSE(output.Speak("", true));
    EXPECT_FALSE(output.Braille(""));
    EXPECT_EQ(jaws->activeAsks, 0);
    EXPECT_TRUE(jaws->calls.empty());
}

TEST_F(ScreenReaderOutput, OperationsGoToTheCurrentDriver)
{
    output.Load();
    orca->active = true;
    EXPECT_TRUE(output.Output("Lautstärke", false));
    EXPECT_TRUE(output.Speak("Ordner", true));
    EXPECT_TRUE(output.Braille("Neuer Ordner"));
    EXPECT_TRUE(output.Silence());
    EXPECT_TRUE(output.Stop());
    EXPECT_TRUE(output.IsSpeaking());
    EXPECT_EQ(orca->calls, (QStringList{"Output(Lautstärke,0)", "Speak(Ordner,1)", "Braille(Neuer Ordner,0)",
                                        "Silence(,0)", "Silence(,0)", "IsSpeaking(,0)"}));
    EXPECT_TRUE(output.HasSpeech());
    EXPECT_FALSE(output.HasBraille());

    orca->result = false;
    EXPECT_FALSE(output.Output("Ordner", false));

    orca->active = false;
    orca->calls.clear();
    EXPECT_FALSE(output.Output("Ordner", false));
    EXPECT_FALSE(output.Silence());
    EXPECT_FALSE(output.HasSpeech());
    EXPECT_TRUE(orca->calls.empty());
}

TEST_F(ScreenReaderOutput, FailingDetectionMeansNoScreenReader)
{
    output.Load();
    nvda->active = true;
    jaws->throws = true;
    EXPECT_EQ(output.DetectScreenReader(), "");
    EXPECT_FALSE(output.Output("Titel:", false));
    EXPECT_TRUE(nvda->calls.empty());

    jaws->throws = false;
    EXPECT_TRUE(output.Output("Titel:", false));
    EXPECT_EQ(nvda->calls, QStringList{"Output(Titel:,0)"});
}

// The real drivers over stand-ins of the screen readers.
struct ScreenReadersOverBindings : ::testing::Test {
    std::shared_ptr<JawsState> jaws = std::make_shared<JawsState>();
    NvdaScope nvdaScope;
    NvdaState &nvda = nvdaScope.state;
    TScreenReaderOutput output{[this] {
        TScreenReaderOutput::TDriverList list;
        list.push_back(std::make_unique<TScreenReaderDriverJAWS>("JAWS", true, true, jawsBinding(jaws)));
        list.push_back(std::make_unique<TScreenReaderDriverNVDA>("NVDA", true, true, nvdaBinding()));
        return list;
    }};
};

TEST_F(ScreenReadersOverBindings, JawsClosedWhileRunningFallsBackToNvda)
{
    jaws->window = true;
    nvda.window = true;
    output.Load();

    EXPECT_TRUE(output.Output("Titel:", false));
    EXPECT_EQ(jaws->said.size(), 1u);
    EXPECT_EQ(jaws->functions, QStringList{"BrailleString(\"Titel:\")"});
    EXPECT_TRUE(nvda.calls.empty());

    jaws->window = false;
    EXPECT_TRUE(output.Output("Genre:", false));
    EXPECT_EQ(output.DetectScreenReader(), "NVDA");
    EXPECT_EQ(jaws->released, jaws->created);
    EXPECT_EQ(nvda.calls, (QStringList{"speak:Genre:", "braille:Genre:"}));

    jaws->window = true;
    EXPECT_EQ(output.DetectScreenReader(), "JAWS");
}

TEST_F(ScreenReadersOverBindings, NvdaWithoutItsLibrarySaysNothing)
{
    nvda.library = false;
    output.Load();
    EXPECT_EQ(output.DetectScreenReader(), "");
    EXPECT_FALSE(output.Output("Titel:", false));
    EXPECT_TRUE(nvda.calls.empty());
}

} // namespace
