#pragma once
// An in-memory settings file for tests of the code that interprets values.
// It follows GetPrivateProfileStringA's contract: section and key names
// without regard to case, values cut to bufferSize - 1 bytes.
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>

#include "core/profile_reader.h"

class MapProfileReader final : public ProfileReader {
public:
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        values_[Fold(section) + "\n" + Fold(key)] = value;
    }

    unsigned GetString(const char* section, const char* key, const char* defaultValue, std::string& value,
                       unsigned bufferSize) override {
        ++reads;
        auto it = values_.find(Fold(section) + "\n" + Fold(key));
        value = it != values_.end() ? it->second : std::string(defaultValue ? defaultValue : "");
        if (bufferSize == 0) value.clear();
        else if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
        return static_cast<unsigned>(value.size());
    }

    int GetInt(const char* section, const char* key, int defaultValue) override {
        ++reads;
        auto it = values_.find(Fold(section) + "\n" + Fold(key));
        if (it == values_.end()) return defaultValue;
        return static_cast<int>(std::strtol(it->second.c_str(), nullptr, 10));
    }

    int reads = 0;

private:
    static std::string Fold(std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::map<std::string, std::string> values_;
};
