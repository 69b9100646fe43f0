#include "kalbrit/history_table.h"

#include "alert/alert_history.h"

namespace {
constexpr std::size_t kFields = 6;  // time, sender, number, code, colour, text
constexpr std::size_t kNameField = 6;  // after them, in newer records

// Splits bytes into records of fields; quoted fields may hold commas, quotes
// ("") and line breaks. A last record without its line end is dropped: the
// writer may not have finished it.
std::vector<std::vector<std::string>> SplitCsv(const std::string& bytes, std::size_t start) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = start; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c == '\n') {
            if (!field.empty() && field.back() == '\r') field.pop_back();
            fields.push_back(field);
            field.clear();
            records.push_back(fields);
            fields.clear();
        } else {
            field += c;
        }
    }
    return records;
}
}  // namespace

std::vector<HistoryEntry> ParseHistory(const std::string& bytes) {
    const std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::vector<HistoryEntry> entries;
    bool header = true;
    for (const auto& fields : SplitCsv(bytes, start)) {
        if (header) {
            header = false;
            if (!fields.empty() && fields[0] == "time") continue;
        }
        if (fields.size() < kFields) continue;
        entries.push_back({fields[0], FromSpreadsheetText(fields[1]), FromSpreadsheetText(fields[4]),
                           FromSpreadsheetText(fields[5]),
                           fields.size() > kNameField ? FromSpreadsheetText(fields[kNameField]) : std::string()});
    }
    return entries;
}

std::string HistorySender(const HistoryEntry& entry) {
    return entry.name.empty() ? entry.sender : entry.name + " (" + entry.sender + ")";
}

std::vector<HistoryEntry> NewestHistory(const std::vector<HistoryEntry>& older,
                                        const std::vector<HistoryEntry>& newer, std::size_t limit) {
    std::vector<HistoryEntry> out;
    for (auto it = newer.rbegin(); it != newer.rend() && out.size() < limit; ++it) out.push_back(*it);
    for (auto it = older.rbegin(); it != older.rend() && out.size() < limit; ++it) out.push_back(*it);
    return out;
}
