#pragma once
// The WorkGate of one worker thread (see work_gate.h).
#include <atomic>
#include <functional>
#include <mutex>

#include "core/work_gate.h"

class StopGate final : public WorkGate {
public:
    // The mutex is locked once here, on the creating thread: its first lock
    // may allocate (mingw-w64 sets it up lazily), which must never happen in
    // a worker that could be ended by force.
    StopGate() { std::lock_guard<std::mutex> settle(mutex_); }

    bool Enter() override {
        mutex_.lock();
        if (stopping_.load()) {
            mutex_.unlock();
            return false;
        }
        if (unitHook_) unitHook_();
        return true;
    }
    void Leave() override { mutex_.unlock(); }

    // Marks the stop and waits for the unit of work under way, if any; while
    // the caller holds the gate the worker runs no unit. `idle` runs while
    // the unit goes on: a unit may wait on the stopping thread (a message
    // sent to its window), which must go on answering.
    template <class Idle>
    void BeginStop(Idle idle) {
        stopping_.store(true);
        while (!mutex_.try_lock()) idle();
    }
    void BeginStop() {
        stopping_.store(true);
        mutex_.lock();
    }
    void EndStop() { mutex_.unlock(); }
    bool Stopping() const { return stopping_.load(); }

    // For tests: runs at the start of every unit of work, inside the gate.
    // Set before the worker starts.
    void SetUnitHook(std::function<void()> hook) { unitHook_ = std::move(hook); }

private:
    std::mutex mutex_;
    std::atomic<bool> stopping_{false};
    std::function<void()> unitHook_;
};
