// Linked into every test program that plays sound or speaks. Run by CTest, before anything
// connects, the program is pointed at the private sound and speech servers that the fixture
// started for this build folder, so a developer's own servers are never used. The switch is
// taken away at once: programs the test starts itself inherit the servers but may choose others.
#include <QByteArray>
#include <QtGlobal>

namespace
{

const bool umgelenkt = [] {
    const QByteArray ordner = qgetenv("ZINDARA_TEST_SERVICES");
    if (ordner.isEmpty())
        return false;
    qunsetenv("ZINDARA_TEST_SERVICES");
    qputenv("PULSE_SERVER", "unix:" + ordner + "/pulse.sock");
    qputenv("PULSE_COOKIE", ordner + "/config/pulse/cookie");
    qputenv("SPEECHD_ADDRESS", "unix_socket:" + ordner + "/speechd.sock");
    return true;
}();

} // namespace
