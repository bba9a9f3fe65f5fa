// A piece of work that runs beside the caller's own: on a second thread when it is large
// enough and one can be started, else at once on the caller's. It is finished when the
// SideTask is destroyed, which is also when its results may be read.
#pragma once

#include <cstddef>
#include <system_error>
#include <thread>
#include <utility>

namespace tlmio {

// Facets below which a mesh is read on one thread: starting one costs about as much as
// handling this many.
constexpr std::size_t kThreadedFacetCount = 1024;

class SideTask {
public:
    // `work` must not throw: it runs where no one could catch it. Work too small to repay
    // starting a thread (`worthAThread` false) runs at once.
    template <typename Work>
    SideTask(bool worthAThread, Work&& work)
    {
        if (worthAThread) {
            try {
                m_thread = std::thread(work);
                return;
            } catch (const std::system_error&) {
                // no thread to be had: the work simply runs first
            }
        }
        work();
    }
    ~SideTask()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    SideTask(const SideTask&) = delete;
    SideTask& operator=(const SideTask&) = delete;

private:
    std::thread m_thread;
};

}  // namespace tlmio
