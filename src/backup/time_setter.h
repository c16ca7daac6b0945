// Gives copies their show's time back on a thread of its own, so a run
// after a change of daylight-saving time reads the next show file while
// the last copy's time is written.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace backup {

class CTimeSetter {
public:
    CTimeSetter() = default;
    ~CTimeSetter() { Finish(); }
    CTimeSetter(const CTimeSetter&) = delete;
    CTimeSetter& operator=(const CTimeSetter&) = delete;

    // path's last-write time becomes ticks, soon.
    void Add(const std::string& path, uint64_t ticks);
    // Waits until every time is set; the paths whose time could not be
    // set, in the order they came.
    std::vector<std::string> Finish();

private:
    void Work();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::pair<std::string, uint64_t>> m_queue;
    std::vector<std::string> m_failed;
    bool m_finishing = false;
    bool m_inline = false;
    std::thread m_thread;
};

}  // namespace backup
