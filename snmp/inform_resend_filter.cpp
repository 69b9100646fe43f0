#include "snmp/inform_resend_filter.h"

bool InformResendFilter::Announce(uint32_t address, uint16_t port, int32_t requestId, uint64_t nowMs) {
    Entry* place = nullptr;  // a free place, else the oldest
    for (Entry& e : entries_) {
        if (e.used && e.address == address && e.port == port && e.requestId == requestId) {
            const uint64_t age = nowMs > e.firstMs ? nowMs - e.firstMs : 0;
            if (age < kResendWindowMs) return false;
            place = &e;  // the same INFORM long ago: this one is new
            break;
        }
        if (!place || (place->used && (!e.used || e.firstMs < place->firstMs))) place = &e;
    }
    *place = Entry{address, port, requestId, nowMs, true};
    return true;
}
