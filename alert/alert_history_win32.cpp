#include "alert/alert_history_win32.h"

#include <windows.h>

#include <new>
#include <string>

#include "alert/alert_history.h"
#include "win/history_folder_win32.h"

namespace {
// ANSI code page bytes to UTF-8 through UTF-16; empty when not convertible.
std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty()) return std::string();
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (wideLength <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

// Append-only, so every write lands at the end; readers (Kalbrit) may have
// the file open, and may keep it open across a rotation.
HANDLE OpenForAppend(const std::wstring& path) {
    return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void Append(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber, int32_t specificCode) {
    const std::wstring folder = HistoryFolderPath(true);
    if (folder.empty()) return;
    const std::wstring path = folder + L"\\history.csv";
    const std::string line = HistoryLine(texts, arrival, messageNumber, specificCode, AnsiToUtf8);

    HANDLE file = OpenForAppend(path);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return;
    }
    if (HistoryNeedsRotation(static_cast<uint64_t>(size.QuadPart), line.size())) {
        CloseHandle(file);
        const std::wstring older = folder + L"\\history.1.csv";
        // A failed rename keeps appending to the one file rather than lose
        // the record.
        MoveFileExW(path.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING);
        file = OpenForAppend(path);
        if (file == INVALID_HANDLE_VALUE) return;
        if (!GetFileSizeEx(file, &size)) size.QuadPart = 1;
    }
    if (size.QuadPart == 0) WriteAll(file, HistoryFileHead());
    WriteAll(file, line);
    CloseHandle(file);
}
}  // namespace

void AppendAlertHistory(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                        int32_t specificCode) noexcept {
    try {
        Append(texts, arrival, messageNumber, specificCode);
    } catch (...) {
        // Out of memory for the strings: the record is lost, the alert is not.
    }
}
