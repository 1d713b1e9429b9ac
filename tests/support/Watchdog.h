#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Fails the test program when the code watched does not come back in time: code that blocks (a
// read from a named pipe, say) then fails the test within seconds instead of hanging the suite
// until its time limit. The user-interface thread cannot be relied on to notice, so a thread of
// its own ends the program.
class Watchdog {
public:
    Watchdog(const std::string& what, std::chrono::seconds limit = std::chrono::seconds(5))
        : m_thread([this, what, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_disarmed; })) {
                  std::fprintf(stderr, "FAIL!  : %s did not come back within %lld s\n", what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_disarmed = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::thread m_thread; // last: it starts once the others are ready
};
