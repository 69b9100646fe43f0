#include "win/win32_profile_reader.h"

#include <windows.h>

#include <vector>

unsigned Win32ProfileReader::GetString(const char* section, const char* key, const char* defaultValue,
                                       std::string& value, unsigned bufferSize) {
    std::vector<char> buffer(bufferSize ? bufferSize : 1, '\0');
    DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), path_.c_str());
    value.assign(buffer.data(), n);
    return n;
}

int Win32ProfileReader::GetInt(const char* section, const char* key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, path_.c_str()));
}

std::vector<std::string> Win32ProfileReader::GetKeys(const char* section, unsigned bufferSize) {
    std::vector<char> buffer(bufferSize < 2 ? 2 : bufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                             path_.c_str());
    std::vector<std::string> keys;
    for (DWORD at = 0; at < n;) {
        const std::string key(buffer.data() + at);
        at += static_cast<DWORD>(key.size()) + 1;
        keys.push_back(key);
    }
    // A list that did not fit ends in a cut key (the result is the size less two).
    if (n == buffer.size() - 2 && !keys.empty()) keys.pop_back();
    return keys;
}
