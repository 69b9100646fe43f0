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
};

// The records of one file's bytes, oldest first; the BOM and the header line
// are skipped, and so are lines with fewer than six fields (a record still
// being written, or text that is not a record).
std::vector<HistoryEntry> ParseHistory(const std::string& bytes);

// The newest `limit` records of history.1.csv (older) and history.csv
// (newer), newest first.
std::vector<HistoryEntry> NewestHistory(const std::vector<HistoryEntry>& older,
                                        const std::vector<HistoryEntry>& newer, std::size_t limit);

