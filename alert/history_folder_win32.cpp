#include "alert/history_folder_win32.h"

#include "alert/alert_history.h"

#include <windows.h>
#include <shlobj.h>

std::wstring HistoryFolderPath(bool create) {
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return {};
    std::wstring folder = std::wstring(base) + L"\\" + kHistoryFolderNameW;
    if (create && !CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    return folder;
}
