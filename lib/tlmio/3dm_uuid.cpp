#include "tlmio/3dm_uuid.h"

#include <chrono>
#include <mutex>
#include <random>

namespace tlmio {

namespace {

std::mt19937_64 SeededGenerator()
{
    std::random_device device;
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    int local = 0;
    const auto address = reinterpret_cast<std::uintptr_t>(&local);  // differs per run with ASLR
    std::seed_seq seed{device(), device(), device(), device(),
                       uint32_t(wall), uint32_t(uint64_t(wall) >> 32),
                       uint32_t(steady), uint32_t(uint64_t(steady) >> 32),
                       uint32_t(address), uint32_t(uint64_t(address) >> 32)};
    return std::mt19937_64(seed);
}

}  // namespace

Uuid NewRandomUuid()
{
    static std::mutex mutex;
    static std::mt19937_64 generator = SeededGenerator();
    uint64_t high, low;
    {
        std::lock_guard<std::mutex> lock(mutex);
        high = generator();
        low = generator();
    }
    // Version 4 in the top nibble of the third field, RFC 4122 variant in the fourth.
    high = (high & ~uint64_t(0xF000)) | 0x4000;
    low = (low & ~(uint64_t(0xC0) << 56)) | (uint64_t(0x80) << 56);
    return MakeUuid(uint32_t(high >> 32), uint16_t(high >> 16), uint16_t(high), low);
}

}  // namespace tlmio
