#pragma once
// What any program may ask Dovrel's main window (class "Wymmera", title
// "Dovrel.exe") about the alerts it announced and the traps it refused since
// it started. The asker sends kStatusQueryMessage with a StatusQuery in
// wParam (lParam is ignored); the answer is the LRESULT, read as an unsigned
// 32-bit value in 32-bit and 64-bit programs alike. A Dovrel that does not
// know the message answers 0 to everything, as it does when nothing was
// refused.
#include <cstdint>

#include "snmp/refusal_counters.h"

constexpr unsigned kStatusQueryMessage = 0x8000 + 100;  // WM_APP + 100

enum class StatusQuery : uint32_t {
    AlertsAnnounced = 1,   // alerts announced (beep and window) since Dovrel started
    Refused = 2,           // datagrams refused, every reason
    LastReason = 3,        // the RefusalReason of the last refusal (0 = none)
    LastMinuteOfDay = 4,   // its arrival, hours * 60 + minutes in Dovrel's time zone; kNoAnswer if none
    LastSender = 5,        // its source IPv4 address in host order (192.0.2.7 is 0xC0000207); 0 if none
    RefusedForReason = 0x100,  // plus a RefusalReason: the datagrams refused for that reason
};

constexpr uint32_t kNoAnswer = 0xFFFFFFFFu;

// Dovrel's answer; counts beyond 32 bits read as 0xFFFFFFFF. An unknown
// selector is answered 0.
uint32_t AnswerStatusQuery(uint32_t selector, const RefusalTally& tally, uint64_t alertsAnnounced);
