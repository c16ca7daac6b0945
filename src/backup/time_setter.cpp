#include "backup/time_setter.h"

#include <system_error>

#include "backup/backup_disk.h"

namespace backup {

void CTimeSetter::Add(const std::string& path, uint64_t ticks) {
    if (!m_thread.joinable() && !m_inline) {
        try {
            m_thread = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            m_inline = true;  // no thread to be had: each time is set at once
        }
    }
    if (m_inline) {
        if (!SetWriteTime(path, ticks)) m_failed.push_back(path);
        return;
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_queue.emplace_back(path, ticks);
    }
    m_wake.notify_one();
}

void CTimeSetter::Work() {
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_wake.wait(hold, [this] { return m_finishing || !m_queue.empty(); });
        if (m_queue.empty()) return;
        const std::pair<std::string, uint64_t> next = std::move(m_queue.front());
        m_queue.pop_front();
        hold.unlock();
        const bool set = SetWriteTime(next.first, next.second);
        hold.lock();
        if (!set) m_failed.push_back(next.first);
    }
}

std::vector<std::string> CTimeSetter::Finish() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_finishing = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard<std::mutex> hold(m_lock);
    m_finishing = false;
    std::vector<std::string> failed;
    failed.swap(m_failed);
    return failed;
}

}  // namespace backup
