#include "platform/sounds.h"
#include "platform/volume.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class Volume : public ::testing::Test {
protected:
    void TearDown() override { LautstaerkeSetzen(65535, 65535); }
};

struct VolumeCase {
    int left, right, readLeft, readRight;
};

void PrintTo(const VolumeCase &c, std::ostream *os)
{
    *os << c.left << "," << c.right;
}


class VolumeIsHeld : public Volume, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeIsHeld, WithinTheDeviceRange)
{
    const VolumeCase &c = GetParam();
    EXPECT_TRUE(LautstaerkeSetzen(c.left, c.right));
    int left = -7, right = -7;
    EXPECT_TRUE(LautstaerkeLesen(left, right));
    EXPECT_EQ(left, c.readLeft);
    EXPECT_EQ(right, c.readRight);
}

INSTANTIATE_TEST_SUITE_P(Values, VolumeIsHeld,
                         ::testing::Values(VolumeCase{70000, -5, 65535, 0}, VolumeCase{0, 65535, 0, 65535},
                                           VolumeCase{32767, 1967, 32767, 1967}, VolumeCase{-1, 65536, 0, 65535}));

TEST_F(Volume, StartsAtFullVolume)
{
    int left = 0, right = 0;
    EXPECT_TRUE(LautstaerkeLesen(left, right));
    EXPECT_EQ(left, 65535);
    EXPECT_EQ(right, 65535);
}

TEST_F(Volume, ScalesEachChannelOfThePlayedSamples)
{
    const std::array<qint16, 6> in = {32767, -32768, -1000, 1000, 3, 7};
    const auto scaled = [&in] {
        std::array<char, sizeof(in)> bytes;
        std::memcpy(bytes.data(), in.data(), sizeof(in));
        LautstaerkeAnwenden(bytes.data(), 3);
        std::array<qint16, 6> out;
        std::memcpy(out.data(), bytes.data(), sizeof(in));
        return out;
    };
    EXPECT_EQ(scaled(), in);
    LautstaerkeSetzen(32768, 0);
    EXPECT_EQ(scaled(), (std::array<qint16, 6>{16383, 0, -500, 0, 1, 0}));
    LautstaerkeSetzen(0, 65535);
    EXPECT_EQ(scaled(), (std::array<qint16, 6>{0, -32768, 0, 1000, 0, 7}));
}

TEST(Sounds, BeepAndErrorSoundStartThroughTheSoundServer)
{
    EXPECT_TRUE(Piepsen());
    const bool canPlay = !QMediaDevices::defaultAudioOutput().isNull()
                         && QFile::exists("/usr/share/sounds/freedesktop/stereo/dialog-error.oga");
    if (!canPlay)
        GTEST_SKIP() << "no sound server or no sound theme";
    EXPECT_TRUE(FehlerTon());
    EXPECT_TRUE(FehlerTon());
}

} // namespace
