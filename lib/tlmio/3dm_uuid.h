// 128-bit ids as 3DM archives store them: the Windows GUID layout (first three fields
// little-endian, then eight bytes as they are).
#pragma once

#include <cstdint>

namespace tlmio {

struct Uuid {
    uint8_t bytes[16];
};

constexpr Uuid MakeUuid(uint32_t data1, uint16_t data2, uint16_t data3, uint64_t data4)
{
    return Uuid{{uint8_t(data1), uint8_t(data1 >> 8), uint8_t(data1 >> 16), uint8_t(data1 >> 24),
                 uint8_t(data2), uint8_t(data2 >> 8), uint8_t(data3), uint8_t(data3 >> 8),
                 uint8_t(data4 >> 56), uint8_t(data4 >> 48), uint8_t(data4 >> 40), uint8_t(data4 >> 32),
                 uint8_t(data4 >> 24), uint8_t(data4 >> 16), uint8_t(data4 >> 8), uint8_t(data4)}};
}

constexpr Uuid kNilUuid{};

// A version-4 (random) id. The generator is seeded once per process from std::random_device
// and the clocks, since random_device alone is deterministic on some toolchains.
Uuid NewRandomUuid();

}  // namespace tlmio
