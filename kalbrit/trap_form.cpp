#include "kalbrit/trap_form.h"

#include "core/dotted_ipv4.h"
#include "core/mbcs.h"
#include "kalbrit/profile_value.h"
#include "settings/trap_settings.h"

namespace {

// A plain decimal number within [low, high]; no sign, at most 5 digits.
bool ParseBoundedNumber(const std::string& text, long low, long high, long& out) {
    if (text.empty() || text.size() > 5) return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    out = v;
    return true;
}

std::optional<FormProblem> CommunityProblem(const std::string& c) {
    if (c.empty()) return FormProblem::CommunityEmpty;
    if (c.size() > kMaxCommunityLength) return FormProblem::CommunityTooLong;
    // Such a community would not read back as typed.
    switch (ProfileValueShape(c)) {
    case ValueShape::Control: return FormProblem::CommunityControl;
    case ValueShape::BlankEnds: return FormProblem::CommunityBlankEnds;
    case ValueShape::Quoted: return FormProblem::CommunityQuoted;
    case ValueShape::Fine: break;
    }
    return std::nullopt;
}

}  // namespace

TrapForm LoadTrapForm(ProfileReader& reader) {
    // Read exactly as the trap monitor reads it, so the form shows what is in effect.
    TrapSettings settings;
    LoadTrapSettings(reader, settings);

    TrapForm form;
    form.english = settings.language == kEnglishLanguage;
    form.port = std::to_string(settings.port);
    form.timeout = std::to_string(settings.receiveTimeout);
    form.community = settings.community;
    form.allSenders = settings.targetText.empty();
    form.target = settings.targetText;
    form.noProhibition = settings.prohibitionText.empty();
    form.prohibition = settings.prohibitionText;
    form.acceptV2c = settings.acceptV2c;
    form.mergeRepeats = settings.mergeRepeats;
    return form;
}

std::optional<FormError> ValidateTrapForm(const TrapForm& form) {
    long n = 0;
    if (!ParseBoundedNumber(Trim(form.port), 1, 65535, n))
        return FormError{TrapField::Port, FormProblem::PortRange};
    if (!ParseBoundedNumber(Trim(form.timeout), 1, 60, n))
        return FormError{TrapField::Timeout, FormProblem::TimeoutRange};
    if (auto problem = CommunityProblem(form.community)) return FormError{TrapField::Community, *problem};

    unsigned long target = 0;
    if (!form.allSenders) {
        if (!ParseDottedIPv4(Trim(form.target), target))
            return FormError{TrapField::Target, FormProblem::TargetNotAddress};
        if (target == 0)
            return FormError{TrapField::Target, FormProblem::TargetZero};
    }
    if (!form.noProhibition) {
        unsigned long mask = 0;
        if (!ParseDottedIPv4(Trim(form.prohibition), mask))
            return FormError{TrapField::Prohibition, FormProblem::MaskNotAddress};
        // The monitor accepts a trap only when sender AND mask equals
        // target AND mask and neither is zero: these would block every trap.
        if (form.allSenders)
            return FormError{TrapField::Prohibition, FormProblem::MaskWithoutTarget};
        if ((mask & target) == 0)
            return FormError{TrapField::Prohibition, FormProblem::MaskBlocksAll};
    }
    return std::nullopt;
}

std::vector<TrapSetting> TrapSettingsFromForm(const TrapForm& form) {
    long port = 0, timeout = 0;
    ParseBoundedNumber(Trim(form.port), 1, 65535, port);
    ParseBoundedNumber(Trim(form.timeout), 1, 60, timeout);
    return {
        {kLangKey, form.english ? kEnglishKeyword : "Japanese"},
        {kPortKey, std::to_string(port)},
        {kReceiveTimeoutKey, std::to_string(timeout)},
        {kCommunityKey, form.community},
        {kTargetKey, form.allSenders ? std::string(kAllSendersKeyword) : Trim(form.target)},
        {kProhibitionKey, form.noProhibition ? std::string(kNoMaskKeyword) : Trim(form.prohibition)},
        {kAcceptV2cKey, form.acceptV2c ? "1" : "0", "0"},
        {kMergeRepeatsKey, form.mergeRepeats ? "1" : "0", "0"},
    };
}
