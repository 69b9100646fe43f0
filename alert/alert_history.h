#pragma once
// The alert history file's records: RFC 4180 CSV in UTF-8 with a BOM and
// CRLF line ends, one line per alert. Portable; the file itself is written
// by the platform (alert_history_win32.cpp).
#include <cstdint>
#include <ctime>
#include <string>

#include "alert/alert_texts.h"

// %LOCALAPPDATA%\Dovrel\history.csv, rotated to history.1.csv.
constexpr wchar_t kHistoryFolderNameW[] = L"Dovrel";
constexpr wchar_t kHistoryFileNameW[] = L"history.csv";
constexpr wchar_t kOlderHistoryFileNameW[] = L"history.1.csv";

// The file is renamed to history.1.csv before a record would take it past
// this size.
constexpr uint64_t kHistoryLimitBytes = 1u << 20;

// Converts ANSI code page bytes to UTF-8; the platform supplies it.
using ToUtf8Function = std::string (*)(const std::string& ansi);

// A spreadsheet opening the file runs a field that begins with = + - @ TAB
// or CR as a formula, so such a text is written with kTextMark in front; a
// text that begins with the mark itself gets a second one, so that readers
// (Kalbrit's history view) take off exactly one and get the text back.
constexpr char kTextMark = '\'';
constexpr char kFormulaStarts[] = "=+-@\t\r'";
std::string SpreadsheetText(const std::string& text);
// The text a SpreadsheetText field stood for.
std::string FromSpreadsheetText(const std::string& field);

// One text field: SpreadsheetText, then quoted when it holds a comma, a
// quote, CR or LF.
std::string CsvField(const std::string& text);

// localtime(t) as 2026-12-07T16:30:05+09:00: the same wall-clock time as
// FormatAlertTime, with the offset the C runtime applied to get it. Empty
// when the C runtime cannot convert t.
std::string IsoLocalTime(std::time_t t);

// The BOM and the header line that begin a new file.
std::string HistoryFileHead();

// The CRLF-ended line for one alert; the texts are converted with toUtf8.
// The sender's name is the last field, empty when it has none, so a reader
// that knows the first six fields reads these lines as before.
std::string HistoryLine(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber, int32_t specificCode,
                        ToUtf8Function toUtf8);

// Whether a file of fileSize bytes must be rotated before lineSize more are
// appended. A file that is still empty is never rotated.
bool HistoryNeedsRotation(uint64_t fileSize, uint64_t lineSize);
