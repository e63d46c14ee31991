#include "platform/programfiles.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFileInfo>

namespace {

class ProgramFilesTest : public TempDirTest {};

TEST_F(ProgramFilesTest, FilesAreFoundBesideTheProgramOrInItsPrefix)
{
    struct Case {
        const char *what;
        QStringList present;
        const char *found;
    };
    const Case cases[] = {
        {"build folder", {"bin/History.txt"}, "bin/History.txt"},
        {"installed", {"share/zindara/History.txt"}, "share/zindara/History.txt"},
        {"beside wins", {"bin/History.txt", "share/zindara/History.txt"}, "bin/History.txt"},
        {"missing", {}, "bin/History.txt"},
        {"another program's folder", {"share/other/History.txt", "share/History.txt"}, "bin/History.txt"},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString prefix = QStringLiteral("p%1/").arg(++n);
        for (const QString &file : c.present + QStringList{QStringLiteral("bin/zindara")}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path(prefix + file)).absolutePath()));
            writeFile(prefix + file, "V1.42");
        }
        EXPECT_EQ(ProgrammDateiIn(path(prefix + QStringLiteral("bin")), QStringLiteral("History.txt")),
                  path(prefix + QLatin1String(c.found)))
            << c.what;
    }
}

} // namespace
