#include "cutting/mp3seconds.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

namespace {

class Mp3SecondsTest : public TempDirTest {};

TEST_F(Mp3SecondsTest, SecondsOfTheStreamFromItsFirstByte)
{
    bool gefragt = false;
    auto spieler = [&gefragt] {
        gefragt = true;
        return qint64(999);
    };
    const mpeg::FrameSpec spec; // 128 kbit/s
    const QByteArray audio = mpeg::frames(spec, 1000, true);
    const QString datei = writeFile(QStringLiteral("TmpZinS1.mp3"), audio);
    EXPECT_EQ(Mp3SekundenMpi(datei, spieler), audio.size() * 8 / 128000);
    EXPECT_EQ(Mp3SekundenMpi(path(QStringLiteral("gone.mp3")), spieler), 0);
    EXPECT_FALSE(gefragt) << "the player's length is only for unexpected failures";
}

} // namespace
