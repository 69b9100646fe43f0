#pragma once
// Thread-safe conversions of a time_t with the C runtime's own rules (TZ),
// on Windows and natively. False when the runtime cannot convert the time.
#include <ctime>

inline bool ToLocalTime(std::time_t t, std::tm& local) {
#ifdef _WIN32
    return localtime_s(&local, &t) == 0;
#else
    return localtime_r(&t, &local) != nullptr;
#endif
}

inline bool ToUtcTime(std::time_t t, std::tm& utc) {
#ifdef _WIN32
    return gmtime_s(&utc, &t) == 0;
#else
    return gmtime_r(&t, &utc) != nullptr;
#endif
}
