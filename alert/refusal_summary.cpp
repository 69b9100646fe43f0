#include "alert/refusal_summary.h"

#include <cstdio>
#include <cstring>

#include "core/ipv4.h"
#include "core/local_time.h"

namespace {

// The Japanese texts are Shift-JIS bytes, as the Japanese catalogue is.
struct ReasonText {
    const char* en;
    const char* ja;
};

ReasonText TextsOf(RefusalReason reason) {
    switch (reason) {
    case RefusalReason::WrongCommunity:  // コミュニティ不一致
        return {"wrong community", "\x83\x52\x83\x7E\x83\x85\x83\x6A\x83\x65\x83\x42\x95\x73\x88\xEA\x92\x76"};
    case RefusalReason::NotTarget:  // 対象アドレス外
        return {"not the target", "\x91\xCE\x8F\xDB\x83\x41\x83\x68\x83\x8C\x83\x58\x8A\x4F"};
    case RefusalReason::Masked:  // 禁止マスク
        return {"masked", "\x8B\xD6\x8E\x7E\x83\x7D\x83\x58\x83\x4E"};
    case RefusalReason::NotDecodable:  // SNMPv1 以外または解読不能
        return {"not SNMPv1 or not decodable",
                "SNMPv1 \x88\xC8\x8A\x4F\x82\xDC\x82\xBD\x82\xCD\x89\xF0\x93\xC7\x95\x73\x94\x5C"};
    case RefusalReason::QueueFull:  // キューが満杯
        return {"queue full", "\x83\x4C\x83\x85\x81\x5B\x82\xAA\x96\x9E\x94\x74"};
    case RefusalReason::UnknownUser:  // 未登録の SNMPv3 ユーザー
        return {"unknown SNMPv3 user", "\x96\xA2\x93\x6F\x98\x5E\x82\xCC SNMPv3 \x83\x86\x81\x5B\x83\x55\x81\x5B"};
    case RefusalReason::WrongDigest:  // SNMPv3 認証失敗
        return {"SNMPv3 authentication failed", "SNMPv3 \x94\x46\x8F\xD8\x8E\xB8\x94\x73"};
    case RefusalReason::NotInTimeWindow:  // SNMPv3 時刻範囲外
        return {"outside the SNMPv3 time window", "SNMPv3 \x8E\x9E\x8D\x8F\x94\xCD\x88\xCD\x8A\x4F"};
    case RefusalReason::UnsupportedSecurity:  // 未対応の SNMPv3 セキュリティ
        return {"unsupported SNMPv3 security",
                "\x96\xA2\x91\xCE\x89\x9E\x82\xCC SNMPv3 \x83\x5A\x83\x4C\x83\x85\x83\x8A\x83\x65\x83\x42"};
    case RefusalReason::CannotDecrypt:  // SNMPv3 復号失敗
        return {"SNMPv3 decryption failed", "SNMPv3 \x95\x9C\x8D\x86\x8E\xB8\x94\x73"};
    case RefusalReason::None:
    case RefusalReason::Count:
        break;
    }
    return {"", ""};
}

std::string ClockText(int32_t minuteOfDay) {
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
    return text;
}

}  // namespace

const char* RefusalReasonText(RefusalReason reason, bool japanese) {
    const ReasonText texts = TextsOf(reason);
    return japanese ? texts.ja : texts.en;
}

std::string DottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF);
    return text;
}

uint32_t HostOrderAddress(const std::string& dotted) {
    const uint32_t network = InetAddr(dotted.c_str());
    // INADDR_NONE is also 255.255.255.255, which no datagram comes from.
    if (network == 0xFFFFFFFFu) return 0;
    unsigned char octets[4];
    std::memcpy(octets, &network, sizeof octets);  // network order: a.b.c.d in memory
    return static_cast<uint32_t>(octets[0]) << 24 | static_cast<uint32_t>(octets[1]) << 16 |
           static_cast<uint32_t>(octets[2]) << 8 | octets[3];
}

RefusalSummary SummarizeRefusals(const RefusalTally& tally) {
    RefusalSummary summary;
    summary.refused = tally.total;
    summary.lastReason = tally.lastReason;
    std::tm local{};
    if (tally.total > 0 && ToLocalTime(tally.lastTime, local))
        summary.lastMinuteOfDay = local.tm_hour * 60 + local.tm_min;
    summary.lastSender = HostOrderAddress(tally.lastSender);
    return summary;
}

std::string RefusalSummaryText(const RefusalSummary& summary, bool japanese) {
    const std::string count = std::to_string(summary.refused);
    const char* reason = RefusalReasonText(summary.lastReason, japanese);
    const bool hasTime = summary.lastMinuteOfDay >= 0 && summary.lastMinuteOfDay < 24 * 60;
    const bool hasSender = summary.lastSender != 0;
    std::string text;
    if (japanese) {
        // 拒否したトラップ 3 件 (最後: 10:42、192.0.2.7、コミュニティ不一致)
        const char* kComma = "\x81\x41";
        text = "\x8B\x91\x94\xDB\x82\xB5\x82\xBD\x83\x67\x83\x89\x83\x62\x83\x76 " + count + " \x8C\x8F";
        std::string details;
        if (hasTime) details += ClockText(summary.lastMinuteOfDay);
        if (hasSender) details += (details.empty() ? "" : kComma) + DottedAddress(summary.lastSender);
        if (*reason) details += (details.empty() ? "" : kComma) + std::string(reason);
        return details.empty() ? text : text + " (\x8D\xC5\x8C\xE3: " + details + ")";
    }
    text = count + (summary.refused == 1 ? " trap refused" : " traps refused");
    if (hasTime) text += ", last " + ClockText(summary.lastMinuteOfDay);
    if (hasSender) text += (hasTime ? " from " : ", last from ") + DottedAddress(summary.lastSender);
    if (*reason) text += std::string(hasTime || hasSender ? ": " : ", last: ") + reason;
    return text;
}
