#include "ui/common/messages.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

// Window tests need one QApplication for the whole run, on the offscreen platform, with the
// user's folders in a temporary place so the desktop entry and settings of the tests stay there.
// A message box no test expected fails that test instead of waiting for a click forever.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    for (const char *var : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "ZINDARA_RUNTIME_DIR", "ZINDARA_REGISTRY_DIR"})
        qputenv(var, QFile::encodeName(home.path() + "/" + var));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    int code = 0;
    {
        QApplication app(argc, argv);
        MeldungsAntworterSetzen([](const TMeldung &m) {
            ADD_FAILURE() << "unexpected message box: " << m.Text.toStdString();
            return m.Knoepfe == TMeldungKnoepfe::Ok ? TMeldungAntwort::Ok : TMeldungAntwort::Abbrechen;
        });
        code = RUN_ALL_TESTS();
    }
    // Qt Multimedia's PulseAudio thread can still be polling while the process's static objects
    // are destroyed, and libpulse then aborts on its own assertion; the results are in already.
    std::fflush(nullptr);
    std::_Exit(code);
}
