// One application object for every test of this program; the player and the sounds need it.
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class GuiApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

private:
    int argc = 1;
    char name[16] = "zindara_test";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

// GoogleTest owns the environment.
[[maybe_unused]] ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new GuiApplication);

} // namespace
