#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Window tests need one QApplication for the whole run, on the offscreen platform, with the
// user's folders in a temporary place so the desktop entry and settings of the tests stay there.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    for (const char *var : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "ZINDARA_RUNTIME_DIR", "ZINDARA_REGISTRY_DIR"})
        qputenv(var, QFile::encodeName(home.path() + "/" + var));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
