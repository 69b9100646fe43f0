#include "alert/alert_history.h"

#include <cstdio>

#include "alert/sender_line.h"
#include "core/local_time.h"

namespace {
// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t SecondsOf(const std::tm& tm) {
    return DaysFromCivil(tm.tm_year + 1900LL, tm.tm_mon + 1, tm.tm_mday) * 86400 + tm.tm_hour * 3600LL +
           tm.tm_min * 60LL + tm.tm_sec;
}
}  // namespace

std::string SpreadsheetText(const std::string& text) {
    if (text.empty() || std::string(kFormulaStarts).find(text[0]) == std::string::npos) return text;
    return kTextMark + text;
}

std::string FromSpreadsheetText(const std::string& field) {
    if (field.size() >= 2 && field[0] == kTextMark && std::string(kFormulaStarts).find(field[1]) != std::string::npos)
        return field.substr(1);
    return field;
}

std::string CsvField(const std::string& raw) {
    const std::string text = SpreadsheetText(raw);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string IsoLocalTime(std::time_t t) {
    std::tm local{};
    std::tm utc{};
    if (!ToLocalTime(t, local) || !ToUtcTime(t, utc)) return std::string();
    // The offset is whatever the C runtime's local time differs from its UTC
    // time by, so it agrees with the window's date text under any TZ.
    const int64_t offsetMinutes = (SecondsOf(local) - SecondsOf(utc)) / 60;
    const int64_t magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  offsetMinutes < 0 ? '-' : '+', static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
    return text;
}

std::string HistoryFileHead() {
    return "\xEF\xBB\xBF"
           "time,sender,message number,specific-trap code,colour,text,sender name\r\n";
}

std::string HistoryLine(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber, int32_t specificCode,
                        ToUtf8Function toUtf8) {
    std::string line = IsoLocalTime(arrival);
    line += ',';
    line += CsvField(toUtf8(SenderAddress(texts.senderLine)));
    line += ',';
    line += std::to_string(messageNumber);
    line += ',';
    line += std::to_string(specificCode);
    line += ',';
    line += CsvField(toUtf8(texts.colourName));
    line += ',';
    line += CsvField(toUtf8(texts.messageText));
    line += ',';
    line += CsvField(toUtf8(texts.senderName));
    line += "\r\n";
    return line;
}

bool HistoryNeedsRotation(uint64_t fileSize, uint64_t lineSize) {
    return fileSize > 0 && fileSize + lineSize > kHistoryLimitBytes;
}
