#pragma once
// Message numbers, the message catalogue and the texts of one alert.
#include <cstdint>
#include <ctime>
#include <string>

class ProfileReader;

extern const char kCatalogueSectionEnglish[];   // "usKarn_msgEng"
extern const char kCatalogueSectionJapanese[];  // "usKarn_msgJp"

int32_t AdjustMessageNumber(int32_t n, int32_t specificCode);

// Looks n up in the catalogue section for language (1 = English) and returns
// the message text; replaces colourName unless the value has no usable comma.
std::string LookupMessage(ProfileReader& reader, int32_t language, int32_t n, std::string& colourName);

// "%4d/%02d/%02d %02d:%02d:%02d" of localtime(t).
std::string FormatAlertTime(std::time_t t);

// Adjusted numbers 120 to 139 are outlet messages, shown with the outlet prefix.
bool IsOutletMessage(int32_t n);

// "Outlet:%d[%s]" with "none" for an empty name.
std::string OutletPrefix(int32_t outletNumber, const std::string& outletName);
