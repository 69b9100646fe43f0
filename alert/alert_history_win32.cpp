#include "alert/alert_history_win32.h"

#include <windows.h>

#include <new>
#include <string>

#include "alert/alert_history.h"
#include "alert/history_folder_win32.h"
#include "win/handles.h"
#include "win/text_win32.h"

namespace {
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
    const std::wstring path = folder + L"\\" + kHistoryFileNameW;
    const std::string line = HistoryLine(texts, arrival, messageNumber, specificCode, AnsiToUtf8);

    UniqueHandle file(OpenForAppend(path));
    if (!file) return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return;
    if (HistoryNeedsRotation(static_cast<uint64_t>(size.QuadPart), line.size())) {
        file.Reset();
        const std::wstring older = folder + L"\\" + kOlderHistoryFileNameW;
        // A failed rename keeps appending to the one file rather than lose
        // the record.
        MoveFileExW(path.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING);
        file.Reset(OpenForAppend(path));
        if (!file) return;
        if (!GetFileSizeEx(file.Get(), &size)) size.QuadPart = 1;
    }
    if (size.QuadPart == 0) WriteAll(file.Get(), HistoryFileHead());
    WriteAll(file.Get(), line);
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
