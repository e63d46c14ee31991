#include "platform/programfiles.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace {

class ProgramFilesTest : public TempDirTest {};

TEST_F(ProgramFilesTest, FilesAreFoundBesideTheProgramOrInItsPrefix)
{
    // The files present in a prefix, and the name looked up for "History.txt".
    const std::pair<QStringList, const char *> cases[] = {
        {{"bin/History.txt"}, "bin/History.txt"},
        {{"share/zindara/History.txt"}, "share/zindara/History.txt"},
        {{"bin/History.txt", "share/zindara/History.txt"}, "bin/History.txt"},
        {{}, "bin/History.txt"},
        {{"share/other/History.txt", "share/History.txt"}, "bin/History.txt"},
    };
    int n = 0;
    for (const auto &[present, found] : cases) {
        const QString prefix = QStringLiteral("p%1/").arg(++n);
        for (const QString &file : present + QStringList{QStringLiteral("bin/zindara")}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path(prefix + file)).absolutePath()));
            writeFile(prefix + file, "V1.42");
        }
        EXPECT_EQ(ProgrammDateiIn(path(prefix + QStringLiteral("bin")), QStringLiteral("History.txt")),
                  path(prefix + QLatin1String(found)))
            << present.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
