#include "snmp/refusal_counters.h"

#include <algorithm>

// Locks the mutex once on the creating thread: its first lock may allocate
// (mingw-w64 sets it up lazily), which must not happen in a worker thread
// that could be ended by force.
RefusalCounters::RefusalCounters() { std::lock_guard<std::mutex> settle(mutex_); }

void RefusalCounters::Count(RefusalReason reason, std::string_view senderText, std::time_t when) {
    const auto index = static_cast<std::size_t>(reason);
    if (reason == RefusalReason::None || index >= kRefusalReasonCount) return;
    std::lock_guard<std::mutex> lock(mutex_);
    ++perReason_[index];
    ++total_;
    if (total_ == 1 || when >= lastTime_) {
        lastReason_ = reason;
        lastTime_ = when;
        const std::size_t n = std::min(senderText.size(), kMaxSenderText);
        std::copy_n(senderText.data(), n, lastSender_);
        lastSender_[n] = '\0';
    }
    publishedTotal_.store(total_);
}

uint64_t RefusalCounters::Total() const { return publishedTotal_.load(); }

RefusalTally RefusalCounters::Snapshot() const {
    RefusalTally tally;
    std::lock_guard<std::mutex> lock(mutex_);
    tally.perReason = perReason_;
    tally.total = total_;
    tally.lastReason = lastReason_;
    tally.lastSender = lastSender_;
    tally.lastTime = lastTime_;
    return tally;
}
