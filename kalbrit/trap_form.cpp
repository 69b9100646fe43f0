#include "kalbrit/trap_form.h"

#include "app/trap_app.h"

namespace {

constexpr std::size_t kMaxCommunity = 256;

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

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

std::optional<std::string> CommunityProblem(const std::string& c) {
    if (c.empty()) return "Community must not be empty.";
    if (c.size() > kMaxCommunity) return "Community must be at most 256 bytes long.";
    for (unsigned char ch : c) {
        if (ch < 0x20 || ch == 0x7F) return "Community must not contain control characters.";
    }
    // The private-profile reader drops blanks around a value and one pair of
    // enclosing quotes, so such a community would not read back as typed.
    if (c.front() == ' ' || c.front() == '\t' || c.back() == ' ' || c.back() == '\t')
        return "Community must not begin or end with a blank.";
    if (c.size() >= 2 && (c.front() == '"' || c.front() == '\'') && c.back() == c.front())
        return "Community must not be enclosed in quotes.";
    return std::nullopt;
}

}  // namespace

bool ParseDottedIPv4(const std::string& text, unsigned long& hostOrder) {
    unsigned long value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t start = i;
        unsigned long part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            part = part * 10 + static_cast<unsigned long>(text[i] - '0');
            ++i;
        }
        std::size_t digits = i - start;
        if (digits == 0 || part > 255 || (digits > 1 && text[start] == '0')) return false;
        value = (value << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
    }
    if (i != text.size()) return false;
    hostOrder = value;
    return true;
}

const char* TrapFieldName(TrapField field) {
    switch (field) {
    case TrapField::Port: return "Port";
    case TrapField::Timeout: return "Receive timeout";
    case TrapField::Community: return "Community";
    case TrapField::Target: return "Target";
    case TrapField::Prohibition: return "Prohibition mask";
    }
    return "";
}

TrapForm LoadTrapForm(ProfileReader& reader) {
    // Read exactly as the trap monitor reads it, so the form shows what is in effect.
    CTrapApp settings;
    settings.LoadSettings(reader);

    TrapForm form;
    form.english = settings.language == 1;
    form.port = std::to_string(settings.port);
    form.timeout = std::to_string(settings.receiveTimeout);
    form.community = settings.community;
    form.allSenders = settings.targetText.empty();
    form.target = settings.targetText;
    form.noProhibition = settings.prohibitionText.empty();
    form.prohibition = settings.prohibitionText;
    return form;
}

std::optional<FormError> ValidateTrapForm(const TrapForm& form) {
    long n = 0;
    if (!ParseBoundedNumber(Trim(form.port), 1, 65535, n))
        return FormError{TrapField::Port, "Port must be a whole number from 1 to 65535."};
    if (!ParseBoundedNumber(Trim(form.timeout), 1, 60, n))
        return FormError{TrapField::Timeout, "Receive timeout must be a whole number of seconds from 1 to 60."};
    if (auto problem = CommunityProblem(form.community)) return FormError{TrapField::Community, *problem};

    unsigned long target = 0;
    if (!form.allSenders) {
        if (!ParseDottedIPv4(Trim(form.target), target))
            return FormError{TrapField::Target,
                             "Target must be a dotted IPv4 address such as 192.168.1.10, or choose all senders."};
        if (target == 0)
            return FormError{TrapField::Target, "Target 0.0.0.0 names no sender; enter the sender's address."};
    }
    if (!form.noProhibition) {
        unsigned long mask = 0;
        if (!ParseDottedIPv4(Trim(form.prohibition), mask))
            return FormError{TrapField::Prohibition,
                             "Prohibition mask must be a dotted IPv4 mask such as 255.255.255.0, or choose none."};
        // The monitor accepts a trap only when sender AND mask equals
        // target AND mask and neither is zero: these would block every trap.
        if (form.allSenders)
            return FormError{TrapField::Prohibition,
                             "Prohibition mask needs a target address; with all senders it would block every trap."};
        if ((mask & target) == 0)
            return FormError{TrapField::Prohibition,
                             "Prohibition mask and target have no bit in common, so every trap would be blocked."};
    }
    return std::nullopt;
}

std::vector<TrapSetting> TrapSettingsFromForm(const TrapForm& form) {
    long port = 0, timeout = 0;
    ParseBoundedNumber(Trim(form.port), 1, 65535, port);
    ParseBoundedNumber(Trim(form.timeout), 1, 60, timeout);
    return {
        {"Lang", form.english ? "English" : "Japanese"},
        {"port", std::to_string(port)},
        {"recTimeout", std::to_string(timeout)},
        {"trapCommunity", form.community},
        {"target", form.allSenders ? std::string("alls") : Trim(form.target)},
        {"prohibition", form.noProhibition ? std::string("none") : Trim(form.prohibition)},
    };
}
