#include "platform/volume.h"

#include <atomic>
#include <cstring>

namespace {

// right × 65536 + left, as the wave output device holds it.
std::atomic<quint32> volume{0xFFFFFFFFu};

} // namespace

bool LautstaerkeLesen(int &left, int &right)
{
    const quint32 value = volume.load(std::memory_order_relaxed);
    left = int(value & 0xFFFFu);
    right = int(value >> 16);
    return left >= 0 && right >= 0;
}

bool LautstaerkeSetzen(int left, int right)
{
    const quint32 l = quint32(qBound(0, left, 65535));
    const quint32 r = quint32(qBound(0, right, 65535));
    volume.store(r * 65536u + l, std::memory_order_relaxed);
    return true;
}

void LautstaerkeAnwenden(char *samples, qint64 frameCount)
{
    const quint32 value = volume.load(std::memory_order_relaxed);
    if (value == 0xFFFFFFFFu)
        return;
    const qint32 gain[2] = {qint32(value & 0xFFFFu), qint32(value >> 16)};
    for (qint64 i = 0; i < frameCount * 2; ++i) {
        qint16 sample;
        std::memcpy(&sample, samples + 2 * i, 2);
        sample = qint16(qint32(sample) * gain[i & 1] / 65535);
        std::memcpy(samples + 2 * i, &sample, 2);
    }
}
