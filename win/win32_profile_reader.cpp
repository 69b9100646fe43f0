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
