#include "platform/screenreaderdriverjaws.h"
#include "platform/screenreaderdrivernvda.h"
#include "platform/screenreaderdriverorca.h"

#include "screenreaderfakes.h"

#include <gtest/gtest.h>

using namespace srfake;

namespace {

struct JawsDriver : ::testing::Test {
    std::shared_ptr<JawsState> jaws = std::make_shared<JawsState>();
    std::unique_ptr<TScreenReaderDriverJAWS> make()
    {
        return std::make_unique<TScreenReaderDriverJAWS>("JAWS", true, true, jawsBinding(jaws));
    }
};

TEST_F(JawsDriver, BrailleStringGetsApostrophesForDoubleQuotes)
{
    const struct {
        QString text;
        QString call;
    } cases[] = {
        {"Titel:", "BrailleString(\"Titel:\")"},
        {"Sag \"Hallo\"", "BrailleString(\"Sag 'Hallo'\")"},
        {"\"", "BrailleString(\"'\")"},
        {"100% %1", "BrailleString(\"100% %1\")"},
    };
    jaws->window = true;
    auto driver = make();
    for (const auto &c : cases) {
        jaws->functions.clear();
        EXPECT_TRUE(driver->Braille(c.text));
        EXPECT_EQ(jaws->functions, QStringList{c.call});
    }
}

TEST_F(JawsDriver, SpeakPassesInterruptAsFlush)
{
    jaws->window = true;
    auto driver = make();
    EXPECT_TRUE(driver->Speak("Titel:", false));
    EXPECT_TRUE(driver->Speak("Genre:", true));
    const std::vector<std::pair<QString, bool>> expected{{"Titel:", false}, {"Genre:", true}};
    EXPECT_EQ(jaws->said, expected);
    jaws->sayResult = false;
    EXPECT_FALSE(driver->Speak("Jahr:", false));
}

TEST_F(JawsDriver, NothingIsSentWithoutTextOrObject)
{
    jaws->window = true;
    auto driver = make();
    EXPECT_FALSE(driver->Speak("", false));
    EXPECT_FALSE(driver->Braille(""));
    EXPECT_FALSE(driver->Output("", false));
    EXPECT_TRUE(jaws->said.empty());
    EXPECT_TRUE(jaws->functions.empty());

    jaws->canCreate = false;
    auto unconnected = make();
    EXPECT_FALSE(unconnected->IsActive());
    EXPECT_FALSE(unconnected->Speak("Titel:", false));
    EXPECT_FALSE(unconnected->Braille("Titel:"));
    EXPECT_FALSE(unconnected->Silence());
    EXPECT_TRUE(jaws->said.empty());
}

TEST_F(JawsDriver, WindowDecidesActivityAndHoldsTheObject)
{
    auto driver = make();
    EXPECT_EQ(jaws->created, 1);

    // JAWS not running: the object is let go.
    EXPECT_FALSE(driver->IsActive());
    EXPECT_EQ(jaws->released, 1);
    EXPECT_FALSE(driver->IsConnected());

    jaws->window = true;
    EXPECT_TRUE(driver->IsActive());
    EXPECT_TRUE(driver->IsActive());
    EXPECT_EQ(jaws->created, 2);
    EXPECT_TRUE(driver->IsConnected());

    driver.reset();
    EXPECT_EQ(jaws->released, 2);
}

TEST_F(JawsDriver, SilenceStopsSpeechAndSpeakingIsUnknown)
{
    jaws->window = true;
    auto driver = make();
    EXPECT_TRUE(driver->Silence());
    EXPECT_EQ(jaws->stops, 1);
    jaws->stopResult = false;
    EXPECT_FALSE(driver->Silence());
    EXPECT_FALSE(driver->IsSpeaking());
}

TEST_F(JawsDriver, OutputSpeaksThenBraillesAndSucceedsWhenEither)
{
    const struct {
        bool say, run, expected;
    } cases[] = {{true, true, true}, {true, false, true}, {false, true, true}, {false, false, false}};
    jaws->window = true;
    auto driver = make();
    for (const auto &c : cases) {
        jaws->log.clear();
        jaws->sayResult = c.say;
        jaws->runResult = c.run;
        EXPECT_EQ(driver->Output("Titel:", false), c.expected) << c.say << c.run;
        EXPECT_EQ(jaws->log, (QStringList{"say", "run"}));
    }
}

struct NvdaDriver : ::testing::Test {
    NvdaScope scope;
    NvdaState &nvda = scope.state;
    std::unique_ptr<TScreenReaderDriverNVDA> make()
    {
        return std::make_unique<TScreenReaderDriverNVDA>("NVDA", true, true, nvdaBinding());
    }
};

TEST_F(NvdaDriver, ActiveOnlyWithLibraryWindowAndRunningAnswer)
{
    const struct {
        bool library, window, testEntry;
        quint32 running;
        bool expected;
    } cases[] = {
        {true, true, true, 0, true},   {false, true, true, 0, false}, {true, false, true, 0, false},
        {true, true, false, 0, false}, {true, true, true, 1, false},
    };
    for (const auto &c : cases) {
        nvda.library = c.library;
        nvda.window = c.window;
        nvda.entries = allNvdaEntries();
        if (!c.testEntry)
            nvda.entries.erase("nvdaController_testIfRunning");
        nvda.runningStatus = c.running;
        EXPECT_EQ(make()->IsActive(), c.expected) << c.library << c.window << c.testEntry << c.running;
    }
}

TEST_F(NvdaDriver, InterruptCancelsBeforeSpeaking)
{
    auto driver = make();
    EXPECT_TRUE(driver->Speak("Titel:", false));
    EXPECT_EQ(nvda.calls, QStringList{"speak:Titel:"});

    nvda.calls.clear();
    EXPECT_TRUE(driver->Speak(QString::fromUtf8("Dateigröße"), true));
    EXPECT_EQ(nvda.calls, (QStringList{"cancel", QString::fromUtf8("speak:Dateigröße")}));

    // Speech that cannot be silenced is not talked over.
    nvda.calls.clear();
    nvda.cancelStatus = 1;
    EXPECT_FALSE(driver->Speak("Genre:", true));
    EXPECT_EQ(nvda.calls, QStringList{"cancel"});
}

TEST_F(NvdaDriver, FailsOnStatusEmptyTextOrMissingEntryPoint)
{
    auto driver = make();
    EXPECT_FALSE(driver->Speak("", false));
    EXPECT_FALSE(driver->Braille(""));
    EXPECT_TRUE(nvda.calls.empty());

    nvda.speakStatus = 5;
    nvda.brailleStatus = 5;
    EXPECT_FALSE(driver->Output("Titel:", false));
    EXPECT_EQ(nvda.calls, (QStringList{"speak:Titel:", "braille:Titel:"}));

    nvda.entries = {"nvdaController_testIfRunning"};
    auto partial = make();
    EXPECT_FALSE(partial->Speak("Titel:", false));
    EXPECT_FALSE(partial->Braille("Titel:"));
    EXPECT_FALSE(partial->Silence());
    EXPECT_FALSE(partial->IsSpeaking());
}

TEST_F(NvdaDriver, LibraryIsUnloadedWithTheDriver)
{
    make().reset();
    EXPECT_EQ(nvda.loadedNames, QStringList{"nvdaControllerClient32.dll"});
    EXPECT_EQ(nvda.freed, 1);

    nvda.library = false;
    make().reset();
    EXPECT_EQ(nvda.freed, 1);
}

struct OrcaDriver : ::testing::Test {
    std::shared_ptr<OrcaState> orca = std::make_shared<OrcaState>();
    std::unique_ptr<TScreenReaderDriverOrca> driver =
        std::make_unique<TScreenReaderDriverOrca>("Orca", true, true, orcaBinding(orca));
};

TEST_F(OrcaDriver, WithoutOrcaNothingIsConnected)
{
    orca->running = false;
    EXPECT_FALSE(driver->IsActive());
    EXPECT_FALSE(driver->Output("Titel:", false));
    EXPECT_EQ(orca->speechConnects, 0);
    EXPECT_FALSE(driver->IsSpeaking());
    EXPECT_FALSE(driver->Silence());
}

TEST_F(OrcaDriver, ProcessListIsReadAtMostEveryInterval)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(driver->IsActive());
    orca->now += TScreenReaderDriverOrca::ProcessCheckMs - 1;
    EXPECT_TRUE(driver->IsActive());
    EXPECT_EQ(orca->processChecks, 1);

    // Orca ends: noticed at the next check, and the connections are closed.
    orca->running = false;
    orca->now += 1;
    EXPECT_FALSE(driver->IsActive());
    EXPECT_EQ(orca->processChecks, 2);
    EXPECT_EQ(orca->speechDisconnects, 1);
}

TEST_F(OrcaDriver, SpeechDispatcherIsAskedAgainOnlyAfterThePause)
{
    orca->speechAnswers = false;
    EXPECT_FALSE(driver->IsActive());
    orca->now += TScreenReaderDriverOrca::RetryMs - 1;
    EXPECT_FALSE(driver->IsActive());
    EXPECT_EQ(orca->speechConnects, 1);

    orca->speechAnswers = true;
    orca->now += 1;
    EXPECT_TRUE(driver->IsActive());
    EXPECT_EQ(orca->speechConnects, 2);
}

TEST_F(OrcaDriver, LostSpeechConnectionIsNoticedAndRenewed)
{
    EXPECT_TRUE(driver->IsActive());
    orca->alive = false;
    EXPECT_FALSE(driver->IsActive());
    EXPECT_EQ(orca->speechDisconnects, 1);
    EXPECT_FALSE(driver->Speak("Titel:", false));

    orca->alive = true;
    orca->now += TScreenReaderDriverOrca::RetryMs;
    EXPECT_TRUE(driver->IsActive());
    EXPECT_EQ(orca->speechConnects, 2);
}

TEST_F(OrcaDriver, InterruptCancelsFirstOtherwiseQueues)
{
    ASSERT_TRUE(driver->IsActive());
    orca->log.clear();
    EXPECT_TRUE(driver->Speak("Titel:", false));
    EXPECT_TRUE(driver->Speak("Genre:", true));
    EXPECT_EQ(orca->log, (QStringList{"say:Titel:", "cancel", "say:Genre:"}));

    orca->log.clear();
    orca->cancelWorks = false;
    EXPECT_FALSE(driver->Speak("Jahr:", true));
    EXPECT_EQ(orca->log, QStringList{"cancel"});
    EXPECT_FALSE(driver->Speak("", false));
}

TEST_F(OrcaDriver, BrailleIsOptionalAndRetriedAfterThePause)
{
    ASSERT_TRUE(driver->IsActive());
    orca->brailleAnswers = false;
    orca->log.clear();
    EXPECT_TRUE(driver->Output("Titel:", false));
    EXPECT_FALSE(driver->Braille("Titel:"));
    EXPECT_EQ(orca->brailleConnects, 1);
    EXPECT_EQ(orca->log, QStringList{"say:Titel:"});

    orca->brailleAnswers = true;
    orca->now += TScreenReaderDriverOrca::RetryMs;
    EXPECT_TRUE(driver->Braille("Titel:"));
    EXPECT_EQ(orca->brailleConnects, 2);

    // A display that refuses the text closes the connection until the next pause.
    orca->writeWorks = false;
    EXPECT_FALSE(driver->Braille("Genre:"));
    EXPECT_EQ(orca->brailleDisconnects, 1);
    orca->writeWorks = true;
    EXPECT_FALSE(driver->Braille("Genre:"));
    EXPECT_EQ(orca->brailleConnects, 2);
}

} // namespace
