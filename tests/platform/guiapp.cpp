// One application object for every test of this program; the player and the sounds need it.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    int code = 0;
    {
        QGuiApplication app(argc, argv);
        code = RUN_ALL_TESTS();
    }
    // Qt Multimedia's PulseAudio thread can still be polling while the process's static objects
    // are destroyed, and libpulse then aborts on its own assertion; the results are in already.
    std::fflush(nullptr);
    std::_Exit(code);
}
