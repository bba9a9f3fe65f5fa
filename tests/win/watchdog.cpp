#include "tests/win/watchdog.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace wintest {

namespace {

std::string RunningTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return "the test program";
    return std::string(test->test_suite_name()) + "." + test->name();
}

}  // namespace

Watchdog::Watchdog(unsigned seconds, std::string what)
    : m_seconds(seconds), m_what(what.empty() ? RunningTestName() : std::move(what)),
      m_finished(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_thread(CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr))
{
}

Watchdog::~Watchdog()
{
    SetEvent(m_finished);
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_finished);
}

DWORD WINAPI Watchdog::Run(void* self)
{
    auto* watchdog = static_cast<Watchdog*>(self);
    if (WaitForSingleObject(watchdog->m_finished, watchdog->m_seconds * 1000u) != WAIT_TIMEOUT)
        return 0;
    std::fprintf(stderr,
                 "watchdog: %s still running after %u s (a dialog nobody answered?); ending the process with "
                 "exit code %d\n",
                 watchdog->m_what.c_str(), watchdog->m_seconds, kWatchdogExitCode);
    std::fflush(stderr);
    // Not ExitProcess: the stuck thread may hold the loader lock or a modal loop's state.
    TerminateProcess(GetCurrentProcess(), kWatchdogExitCode);
    return 0;
}

}  // namespace wintest
