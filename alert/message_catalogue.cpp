#include "alert/message_catalogue.h"

#include <cstdio>

#include "core/local_time.h"
#include "core/profile_reader.h"
#include "settings/trap_settings.h"

const char kCatalogueSectionEnglish[] = "usKarn_msgEng";
const char kCatalogueSectionJapanese[] = "usKarn_msgJp";

namespace {
constexpr unsigned kCatalogueValueBuffer = 1024;  // values of up to 1023 bytes
const char kFallbackColour[] = "orange";
}  // namespace

int32_t AdjustMessageNumber(int32_t n, int32_t specificCode) {
    if (n <= 10) return n;
    // Codes 2 and 4 are the "cleared"/"returned" forms of the numbers above 10.
    if (specificCode == 2 || specificCode == 4) n += 1;
    if (n == 15) n = 4;
    return n;
}

std::string LookupMessage(ProfileReader& reader, int32_t language, int32_t n, std::string& colourName) {
    const char* section = language == kEnglishLanguage ? kCatalogueSectionEnglish : kCatalogueSectionJapanese;
    char key[16];
    std::snprintf(key, sizeof key, "%d", static_cast<int>(n));

    std::string value;
    if (reader.GetString(section, key, "", value, kCatalogueValueBuffer) == 0) {
        colourName = kFallbackColour;
        return "Message No is " + std::string(key);
    }
    // A reader must not hand back more than the buffer holds.
    if (value.size() > kCatalogueValueBuffer - 1) value.resize(kCatalogueValueBuffer - 1);

    const std::string::size_type comma = value.find(',');
    if (comma == std::string::npos || comma == 0) return std::string();
    colourName = value.substr(0, comma);
    return value.substr(comma + 1);
}

static_assert(sizeof(std::time_t) == 8, "alert dates must go on after 2038 in every build");

std::string FormatAlertTime(std::time_t t) {
    std::tm local{};
    // A time the C runtime cannot convert shows no date rather than garbage.
    if (!ToLocalTime(t, local)) return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%4d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

bool IsOutletMessage(int32_t n) { return n >= 120 && n <= 139; }

std::string OutletPrefix(int32_t outletNumber, const std::string& outletName) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(outletNumber));
    return std::string("Outlet:") + number + "[" + (outletName.empty() ? std::string("none") : outletName) + "]";
}
