#pragma once
// Tells a resent INFORM from a new one. A sender that got no answer sends the
// same InformRequest again, from the same address and port with the same
// request-id: each copy is answered, but only the first is announced.
// Fixed capacity, no clock of its own (the caller passes the time), not
// thread-safe: the receive thread owns it.
#include <array>
#include <cstddef>
#include <cstdint>

class InformResendFilter {
public:
    static constexpr size_t kCapacity = 256;
    // A copy that arrives this long after the first counts as a new INFORM.
    static constexpr uint64_t kResendWindowMs = 60000;

    // True when this INFORM is to be announced: no INFORM from the same
    // address (network byte order) and port with the same request-id arrived
    // within the 60 s before nowMs. An announced one is remembered, in place of
    // the oldest remembered one when all places are taken. nowMs is a monotonic
    // millisecond count (GetTickCount64); one that goes back counts as no time.
    bool Announce(uint32_t address, uint16_t port, int32_t requestId, uint64_t nowMs);

private:
    struct Entry {
        uint32_t address = 0;
        uint16_t port = 0;
        int32_t requestId = 0;
        uint64_t firstMs = 0;
        bool used = false;
    };
    std::array<Entry, kCapacity> entries_{};
};
