#pragma once
// What Dovrel says about the traps it refused: one sentence, in English
// (ASCII) or Japanese (Shift-JIS), shown in the tray icon's tooltip and in
// Kalbrit's test-trap reply.
#include <cstdint>
#include <string>

#include "snmp/refusal_counters.h"

struct RefusalSummary {
    uint64_t refused = 0;
    RefusalReason lastReason = RefusalReason::None;
    int32_t lastMinuteOfDay = -1;  // hours * 60 + minutes in Dovrel's time zone; -1 unknown
    uint32_t lastSender = 0;       // IPv4 in host order (192.0.2.7 is 0xC0000207); 0 unknown
};

// The tally with its last arrival time as Dovrel's local time (TZ, as the
// alert windows show it).
RefusalSummary SummarizeRefusals(const RefusalTally& tally);

// "3 traps refused, last 10:42 from 192.0.2.7: wrong community", or its
// Japanese form; the parts that are unknown are left out.
std::string RefusalSummaryText(const RefusalSummary& summary, bool japanese);

// The reason in a few words ("wrong community"), ASCII or Shift-JIS.
const char* RefusalReasonText(RefusalReason reason, bool japanese);

// Dotted text of a host-order IPv4 value, and back (0 for text that is not
// a dotted address).
std::string DottedAddress(uint32_t address);
uint32_t HostOrderAddress(const std::string& dotted);
