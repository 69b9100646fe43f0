#pragma once
// Reads a Windows private-profile (INI) file. The Windows build reads with
// GetPrivateProfileStringA / GetPrivateProfileIntA; the portable code that
// interprets the values only sees this interface.
#include <string>
#include <vector>

class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    // The value of key in section, at most bufferSize - 1 bytes, or
    // defaultValue when the file, section or key is missing. Returns the
    // number of bytes stored, as GetPrivateProfileStringA does.
    virtual unsigned GetString(const char* section, const char* key, const char* defaultValue,
                               std::string& value, unsigned bufferSize) = 0;
    // The value read as a leading decimal number, 0 when it is no number,
    // defaultValue when missing (GetPrivateProfileIntA).
    virtual int GetInt(const char* section, const char* key, int defaultValue) = 0;
    // The key names of section in file order (GetPrivateProfileStringA with
    // no key name), as many as bufferSize bytes hold whole; none when the
    // file or section is missing.
    virtual std::vector<std::string> GetKeys(const char* section, unsigned bufferSize) = 0;
};
