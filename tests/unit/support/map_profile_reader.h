#pragma once
// An in-memory settings file for tests of the code that interprets values.
// It follows GetPrivateProfileStringA's contract: section and key names
// without regard to case, values cut to bufferSize - 1 bytes.
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/profile_reader.h"

class MapProfileReader final : public ProfileReader {
public:
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        if (values_.count(Fold(section) + "\n" + Fold(key)) == 0) keys_[Fold(section)].push_back(key);
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

    // Every key set, in order, as GetPrivateProfileStringA lists them; the
    // list is cut to whole keys within bufferSize bytes.
    std::vector<std::string> GetKeys(const char* section, unsigned bufferSize) override {
        ++reads;
        std::vector<std::string> out;
        unsigned used = 1;
        for (const std::string& key : keys_[Fold(section)]) {
            if (used + key.size() + 1 > bufferSize) break;
            used += static_cast<unsigned>(key.size()) + 1;
            out.push_back(key);
        }
        return out;
    }

    int reads = 0;

private:
    static std::string Fold(std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::map<std::string, std::string> values_;
    std::map<std::string, std::vector<std::string>> keys_;
};
