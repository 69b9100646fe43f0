#pragma once
// Reads Dovrel's alert history files (RFC 4180 CSV, UTF-8) for the History
// view. Portable.
#include <cstddef>
#include <string>
#include <vector>

struct HistoryEntry {  // UTF-8 texts of one record
    std::string time;
    std::string sender;
    std::string colour;
    std::string text;
    std::string name;  // the sender's device name; empty when none, and in older records
};

// The records of one file's bytes, oldest first; the BOM and the header line
// are skipped, and so are lines with fewer than six fields (a record still
// being written, or text that is not a record). Records of older Dovrels end
// with the text; newer ones have the sender's name after it.
std::vector<HistoryEntry> ParseHistory(const std::string& bytes);

// The newest `limit` records of history.1.csv (older) and history.csv
// (newer), newest first.
// The sender as the view shows it: "name (address)", or the address alone.
std::string HistorySender(const HistoryEntry& entry);

std::vector<HistoryEntry> NewestHistory(const std::vector<HistoryEntry>& older,
                                        const std::vector<HistoryEntry>& newer, std::size_t limit);

