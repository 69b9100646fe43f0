#pragma once
// ProfileReader over one settings file, read with the private-profile API.
#include <string>

#include "core/profile_reader.h"

class Win32ProfileReader final : public ProfileReader {
public:
    explicit Win32ProfileReader(std::string path) : path_(std::move(path)) {}
    unsigned GetString(const char* section, const char* key, const char* defaultValue, std::string& value,
                       unsigned bufferSize) override;
    int GetInt(const char* section, const char* key, int defaultValue) override;
    std::vector<std::string> GetKeys(const char* section, unsigned bufferSize) override;

private:
    std::string path_;
};
