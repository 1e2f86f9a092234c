#pragma once

#include "files/AtomicFile.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

namespace keyloom::test {

// Puts races between saves in a chosen order: the first save to reach pauseAt stops there until
// Release(), and the test can wait until saves have reached a step. Installed for its lifetime.
class SavePause {
public:
    explicit SavePause(SaveStep pauseAt, std::chrono::milliseconds lockWait = kSaveLockWait) : m_pauseAt(pauseAt) {
        SetSaveHooksForTests([this](SaveStep step, const std::filesystem::path&) { Reached(step); }, lockWait);
    }
    ~SavePause() {
        Release();
        SetSaveHooksForTests({});
    }
    SavePause(const SavePause&) = delete;
    SavePause& operator=(const SavePause&) = delete;

    // Whether step was reached count times within a few seconds.
    bool WaitFor(SaveStep step, int count = 1) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return Count(step) >= count; });
    }

    void Release() {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    void Reached(SaveStep step) {
        std::unique_lock lock(m_mutex);
        m_seen.push_back(step);
        m_changed.notify_all();
        if (step == m_pauseAt && !m_paused) {
            m_paused = true;
            m_changed.wait(lock, [this] { return m_released; });
        }
    }

    int Count(SaveStep step) const {
        int count = 0;
        for (const SaveStep seen : m_seen)
            count += seen == step ? 1 : 0;
        return count;
    }

    const SaveStep m_pauseAt;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<SaveStep> m_seen;
    bool m_paused = false;
    bool m_released = false;
};

} // namespace keyloom::test
