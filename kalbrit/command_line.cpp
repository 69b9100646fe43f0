#include "kalbrit/command_line.h"

#include <vector>

namespace {

// Splits at blanks; double quotes group and are removed. Paths need no
// backslash escapes, so backslashes are kept as they are.
std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> out;
    std::string current;
    bool inQuotes = false, inToken = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inToken = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inToken) out.push_back(current);
            current.clear();
            inToken = false;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inToken) out.push_back(current);
    return out;
}

bool IsIniSwitch(const std::string& s) {
    if (s.size() != 4 || (s[0] != '/' && s[0] != '-')) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(s[1]) == 'i' && lower(s[2]) == 'n' && lower(s[3]) == 'i';
}

}  // namespace

bool SettingsFileSwitch(const std::string& commandLine, std::string& path) {
    const std::vector<std::string> args = SplitArguments(commandLine);
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (IsIniSwitch(args[i]) && !args[i + 1].empty()) {
            path = args[i + 1];
            return true;
        }
    }
    return false;
}
