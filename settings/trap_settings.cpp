#include "settings/trap_settings.h"

#include "core/ipv4.h"
#include "core/mbcs.h"
#include "core/profile_reader.h"

namespace {
constexpr unsigned kValueBuffer = 512;  // values of up to 511 bytes
// Keywords compare as the multibyte-aware _mbsicmp does on Japanese systems.
constexpr unsigned kKeywordCodePage = kShiftJisCodePage;
}  // namespace

bool LoadTrapSettings(ProfileReader& reader, TrapSettings& settings) {
    std::string value;

    reader.GetString(kTrapSection, kLangKey, "", value, kValueBuffer);
    if (!value.empty() && MbsEqualNoCase(value.c_str(), kEnglishKeyword, kKeywordCodePage)) settings.language = kEnglishLanguage;

    settings.port = reader.GetInt(kTrapSection, kPortKey, kDefaultPort);

    settings.receiveTimeout = reader.GetInt(kTrapSection, kReceiveTimeoutKey, kDefaultReceiveTimeout);
    if (settings.receiveTimeout <= 0) settings.receiveTimeout = kDefaultReceiveTimeout;
    if (settings.receiveTimeout > kMaxReceiveTimeout) settings.receiveTimeout = kMaxReceiveTimeout;

    reader.GetString(kTrapSection, kCommunityKey, kDefaultCommunity, value, kValueBuffer);
    if (!value.empty()) settings.community = value;

    reader.GetString(kTrapSection, kTargetKey, "", value, kValueBuffer);
    if (!value.empty() && !MbsEqualNoCase(value.c_str(), kAllSendersKeyword, kKeywordCodePage)) {
        settings.targetText = value;
        settings.targetAddress = InetAddr(value.c_str());
    }

    reader.GetString(kTrapSection, kProhibitionKey, "", value, kValueBuffer);
    if (!value.empty() && !MbsEqualNoCase(value.c_str(), kNoMaskKeyword, kKeywordCodePage)) {
        settings.prohibitionText = value;
        settings.prohibitionAddress = InetAddr(value.c_str());
    }

    settings.acceptV2c = reader.GetInt(kTrapSection, kAcceptV2cKey, 0) != 0;
    settings.mergeRepeats = reader.GetInt(kTrapSection, kMergeRepeatsKey, 0) != 0;
    return true;
}
