#pragma once
// The WorkGate of one worker thread (see work_gate.h).
#include <atomic>
#include <mutex>

#include "core/work_gate.h"

class StopGate final : public WorkGate {
public:
    bool Enter() override {
        mutex_.lock();
        if (stopping_.load()) {
            mutex_.unlock();
            return false;
        }
        return true;
    }
    void Leave() override { mutex_.unlock(); }

    // Marks the stop and waits for the unit of work under way, if any; while
    // the caller holds the gate the worker runs no unit.
    void BeginStop() {
        stopping_.store(true);
        mutex_.lock();
    }
    void EndStop() { mutex_.unlock(); }
    bool Stopping() const { return stopping_.load(); }

private:
    std::mutex mutex_;
    std::atomic<bool> stopping_{false};
};
