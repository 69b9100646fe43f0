#include "kalbrit/dovrel_status_win32.h"

#include "alert/status_query.h"

namespace {

constexpr UINT kAnswerWaitMs = 1000;

// A Dovrel that hangs (or ends meanwhile) must not hang Kalbrit's window.
bool Ask(HWND dovrel, StatusQuery query, uint32_t& answer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(dovrel, kStatusQueryMessage, static_cast<WPARAM>(query), 0,
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerWaitMs, &result))
        return false;
    answer = static_cast<uint32_t>(result);
    return true;
}

}  // namespace

std::optional<RefusalSummary> AskDovrelRefusals(HWND dovrel) {
    uint32_t refused = 0, reason = 0, minute = kNoAnswer, sender = 0;
    if (!dovrel || !Ask(dovrel, StatusQuery::Refused, refused) || refused == 0) return std::nullopt;
    if (!Ask(dovrel, StatusQuery::LastReason, reason) || !Ask(dovrel, StatusQuery::LastMinuteOfDay, minute) ||
        !Ask(dovrel, StatusQuery::LastSender, sender))
        return std::nullopt;
    RefusalSummary summary;
    summary.refused = refused;
    // A reason this Kalbrit does not know is shown without its words.
    summary.lastReason = reason < kRefusalReasonCount ? static_cast<RefusalReason>(reason) : RefusalReason::None;
    summary.lastMinuteOfDay = minute == kNoAnswer ? -1 : static_cast<int32_t>(minute);
    summary.lastSender = sender;
    return summary;
}
