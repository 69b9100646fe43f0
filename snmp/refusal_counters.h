#pragma once
// What the program refused to announce, per reason, with the last refused
// datagram's sender, reason and arrival time. Kept in memory only, so that
// the user can tell a firewall (nothing counted) from a typo (wrong
// community) without a log.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

#include "snmp/refusal_reason.h"

constexpr std::size_t kRefusalReasonCount = static_cast<std::size_t>(RefusalReason::Count);
// The longest dotted IPv4 text, "255.255.255.255".
constexpr std::size_t kMaxSenderText = 15;

// A copy of the counters at one moment.
struct RefusalTally {
    std::array<uint64_t, kRefusalReasonCount> perReason{};  // indexed by RefusalReason
    uint64_t total = 0;
    RefusalReason lastReason = RefusalReason::None;  // None until something is refused
    std::string lastSender;                          // the datagram's source address
    std::time_t lastTime = 0;                        // its arrival time

    uint64_t Of(RefusalReason reason) const { return perReason[static_cast<std::size_t>(reason)]; }
};

// Written by the receive and intake threads, read by the window thread.
class RefusalCounters {
public:
    RefusalCounters();
    RefusalCounters(const RefusalCounters&) = delete;
    RefusalCounters& operator=(const RefusalCounters&) = delete;

    // Counts one refused datagram. senderText is its source address as
    // dotted text (longer text is cut at kMaxSenderText), when its arrival
    // time. The last refusal is the one that arrived last, not the one
    // counted last: the intake pass counts datagrams that arrived up to a
    // few seconds before the receive thread's own refusals. Never allocates
    // and holds the mutex only for a few stores, so a worker's unit of work
    // may call it and still never be ended by force with the mutex held.
    // None and out-of-range reasons are not counted.
    void Count(RefusalReason reason, std::string_view senderText, std::time_t when);

    // Everything refused so far; lock-free, for a cheap "has it changed".
    uint64_t Total() const;
    RefusalTally Snapshot() const;

private:
    mutable std::mutex mutex_;
    std::array<uint64_t, kRefusalReasonCount> perReason_{};
    uint64_t total_ = 0;
    std::atomic<uint64_t> publishedTotal_{0};
    RefusalReason lastReason_ = RefusalReason::None;
    char lastSender_[kMaxSenderText + 1] = {};
    std::time_t lastTime_ = 0;
};
