#include "alert/status_query.h"

#include "alert/refusal_summary.h"

namespace {
uint32_t Saturated(uint64_t count) { return count > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(count); }
}  // namespace

uint32_t AnswerStatusQuery(uint32_t selector, const RefusalTally& tally, uint64_t alertsAnnounced) {
    const uint32_t firstReason = static_cast<uint32_t>(StatusQuery::RefusedForReason);
    if (selector >= firstReason && selector - firstReason < kRefusalReasonCount)
        return Saturated(tally.perReason[selector - firstReason]);
    switch (static_cast<StatusQuery>(selector)) {
    case StatusQuery::AlertsAnnounced: return Saturated(alertsAnnounced);
    case StatusQuery::Refused: return Saturated(tally.total);
    case StatusQuery::LastReason: return static_cast<uint32_t>(tally.lastReason);
    case StatusQuery::LastMinuteOfDay: {
        const RefusalSummary summary = SummarizeRefusals(tally);
        return summary.lastMinuteOfDay < 0 ? kNoAnswer : static_cast<uint32_t>(summary.lastMinuteOfDay);
    }
    case StatusQuery::LastSender: return HostOrderAddress(tally.lastSender);
    default: return 0;
    }
}
