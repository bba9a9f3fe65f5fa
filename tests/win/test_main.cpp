// The main of the Windows test programs: OLE initialised on the test thread, as in a host
// process (the common file dialog needs it), and a watchdog around every test.
#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdlib>
#include <memory>

#include "tests/win/watchdog.h"

namespace {

class WatchdogPerTest : public ::testing::EmptyTestEventListener {
public:
    explicit WatchdogPerTest(unsigned seconds) : m_seconds(seconds) {}
    void OnTestStart(const ::testing::TestInfo&) override { m_guard = std::make_unique<wintest::Watchdog>(m_seconds); }
    void OnTestEnd(const ::testing::TestInfo&) override { m_guard.reset(); }

private:
    unsigned m_seconds;
    std::unique_ptr<wintest::Watchdog> m_guard;
};

unsigned WatchdogSeconds()
{
    const char* text = std::getenv("PELORIN_WATCHDOG_SECONDS");
    long seconds = text ? std::strtol(text, nullptr, 10) : 0;
    return seconds > 0 ? static_cast<unsigned>(seconds) : 30u;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    HRESULT ole = OleInitialize(nullptr);
    ::testing::UnitTest::GetInstance()->listeners().Append(new WatchdogPerTest(WatchdogSeconds()));
    int result = RUN_ALL_TESTS();
    if (SUCCEEDED(ole))
        OleUninitialize();
    return result;
}
