#pragma once
// The trap section of Dovrel.ini: its keys, defaults and limits, and the
// settings read from it. Dovrel reads them once at start; Kalbrit shows and
// writes the same keys.
#include <cstddef>
#include <cstdint>
#include <string>

class ProfileReader;

constexpr char kTrapSection[] = "usKarn_trap";
constexpr char kLangKey[] = "Lang";
constexpr char kPortKey[] = "port";
constexpr char kReceiveTimeoutKey[] = "recTimeout";
constexpr char kCommunityKey[] = "trapCommunity";
constexpr char kTargetKey[] = "target";
constexpr char kProhibitionKey[] = "prohibition";
constexpr char kAcceptV2cKey[] = "acceptV2c";  // 1: SNMPv2c notifications too; absent or 0: SNMPv1 only
// 1: a trap whose alert window is still open updates it; absent or 0: one window per trap
constexpr char kMergeRepeatsKey[] = "mergeRepeats";

constexpr char kEnglishKeyword[] = "English";  // Lang, any case
constexpr int32_t kEnglishLanguage = 1;         // TrapSettings::language for kEnglishKeyword
constexpr char kAllSendersKeyword[] = "alls";  // target, any case
constexpr char kNoMaskKeyword[] = "none";      // prohibition, any case

constexpr char kDefaultCommunity[] = "vandor";
constexpr int32_t kDefaultPort = 162;
constexpr int32_t kDefaultReceiveTimeout = 5;  // seconds
constexpr int32_t kMaxReceiveTimeout = 60;
// The longest community the trap socket accepts (a longer one fails the start).
constexpr std::size_t kMaxCommunityLength = 256;

struct TrapSettings {
    int32_t language = 0;  // kEnglishLanguage: English catalogue; anything else Japanese
    int32_t port = kDefaultPort;
    int32_t receiveTimeout = kDefaultReceiveTimeout;  // 1..60
    std::string community = kDefaultCommunity;
    std::string targetText;           // empty: every sender
    uint32_t targetAddress = 0;       // inet_addr(targetText), network byte order
    std::string prohibitionText;      // empty: no mask
    uint32_t prohibitionAddress = 0;  // inet_addr(prohibitionText)
    bool acceptV2c = false;
    bool mergeRepeats = false;
};

// Reads the trap section in key order. Never fails: a missing file or key
// gives the default, and the result is always true.
bool LoadTrapSettings(ProfileReader& reader, TrapSettings& settings);
