// Ends the process when a test runs too long: a dialog that nobody answers would otherwise keep
// the test waiting forever. The test framework's main (test_main.cpp) arms one for every test;
// a test may add a tighter one:  wintest::Watchdog guard(10);
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

constexpr int kWatchdogExitCode = 99;

class Watchdog {
public:
    // `what` names the guarded work in the message; empty: the running test's name.
    explicit Watchdog(unsigned seconds = 30, std::string what = std::string());
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog();

private:
    static DWORD WINAPI Run(void* self);

    unsigned m_seconds;
    std::string m_what;
    HANDLE m_finished;
    HANDLE m_thread;
};

}  // namespace wintest
