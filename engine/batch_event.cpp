#include "engine/batch_event.h"

void CBatchEvent::Set() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_one();
}

void CBatchEvent::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bSignalled = false;
}

void CBatchEvent::Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bSignalled; });
    m_bSignalled = false;
}

bool CBatchEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_bSignalled; })) {
        return false;
    }
    m_bSignalled = false;
    return true;
}
