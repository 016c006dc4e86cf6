#pragma once
// Helpers for the tests of the recorder on the test device and on PortAudio.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/Recorder.h"

namespace Recorder {

// A listener that keeps everything it is handed.
struct CollectingListener final : IRecorderListener {
    std::chrono::milliseconds delay{0};             // makes every call this slow
    std::function<void(std::size_t calls)> onCall;  // runs in every call, under the lock
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<double> samples;  // guarded by mutex; read freely once the recorder stopped
    std::vector<int> counts;      // guarded by mutex; the count of every call

    void OnBuffer(const double* data, int count) override {
        {
            std::lock_guard lock(mutex);
            samples.insert(samples.end(), data, data + count);
            counts.push_back(count);
            if (onCall) onCall(counts.size());
            changed.notify_all();
        }
        std::this_thread::sleep_for(delay);
    }

    bool WaitForCalls(std::size_t calls, std::chrono::seconds timeout = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return counts.size() >= calls; });
    }
};

// Starts with wait and expects RecorderException(code).
inline void ExpectStartThrows(RecorderHandle& recorder, const RecorderConfig& config, int code) {
    try {
        Start(recorder, config, true);
        ADD_FAILURE() << "Start did not throw";
    } catch (const RecorderException& e) {
        EXPECT_EQ(e.Code(), code);
    }
}

}  // namespace Recorder
