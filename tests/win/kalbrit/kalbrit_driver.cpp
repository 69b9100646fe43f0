#include "kalbrit_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kalbrit/resource.h"

namespace {

struct Search {
    DWORD processId;
    const std::vector<HWND>& exclude;
    HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    const bool excluded = std::find(s->exclude.begin(), s->exclude.end(), window) != s->exclude.end();
    if (pid == s->processId && !excluded && std::string(cls) == "#32770" && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD pid, const std::vector<HWND>& exclude, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        Search s{pid, exclude, nullptr};
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(50);
    }
    return nullptr;
}

// As UTF-8, so that English and Japanese replies compare alike.
BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
        wchar_t text[2048] = {};
        int n = GetWindowTextW(child, text, 2048);
        char utf8[8192] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, n, utf8, sizeof(utf8) - 1, nullptr, nullptr);
        *reinterpret_cast<std::string*>(param) += utf8;
    }
    return TRUE;
}

}  // namespace

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string out = "Z:" + path;
    for (auto& c : out)
        if (c == '/') c = '\\';
    return out;
}

KalbritSession::KalbritSession(const std::string& exe, const std::string& arguments) {
    std::string line = "\"" + WindowsPath(exe) + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    si.wShowWindow = SW_HIDE;
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_)) {
        ADD_FAILURE() << "cannot start " << line << ": " << GetLastError();
        return;
    }
    dialog_ = WaitForWindow(process_.dwProcessId, {}, 20000);
    EXPECT_NE(dialog_, nullptr) << "Kalbrit's dialog did not appear (visible)";
}

KalbritSession::~KalbritSession() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            Close();
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

std::string KalbritSession::Text(int id) const {
    char text[1024] = {};
    GetDlgItemTextA(dialog_, id, text, sizeof(text));
    return text;
}

void KalbritSession::SetText(int id, const std::string& text) const { SetDlgItemTextA(dialog_, id, text.c_str()); }

bool KalbritSession::Checked(int id) const {
    return SendMessageA(GetDlgItem(dialog_, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void KalbritSession::Click(int id) const { SendMessageA(GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }

HWND KalbritSession::PressForDialog(HWND window, int id, const std::vector<HWND>& open) const {
    PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
    return WaitForDialog(open, 10000);
}

HWND KalbritSession::WaitForDialog(const std::vector<HWND>& open, DWORD ms) const {
    return WaitForWindow(process_.dwProcessId, open, ms);
}

std::string KalbritSession::ReadReply(HWND box) const {
    if (!box) {
        ADD_FAILURE() << "no message box";
        return {};
    }
    std::string text;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(box)) << "message box did not close";
    return text;
}

std::string KalbritSession::SaveAndReadReply() const { return ReadReply(PressForDialog(dialog_, IDC_SAVE, {dialog_})); }

HWND KalbritSession::OpenHistory() const { return PressForDialog(dialog_, IDC_HISTORY, {dialog_}); }

void KalbritSession::SelectRow(HWND list, int row) const {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return;
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    WriteProcessMemory(process_.hProcess, remote, &item, sizeof(item), nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
}

std::vector<std::string> KalbritSession::ListColumn(HWND list, int column) const {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr int kChars = 1024;
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                  MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return rows;
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    for (int row = 0; row < count; ++row) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = remoteText;
        item.cchTextMax = kChars;
        WriteProcessMemory(process_.hProcess, remote, &item, sizeof(item), nullptr);
        const int n = static_cast<int>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote)));
        wchar_t text[kChars] = {};
        ReadProcessMemory(process_.hProcess, remoteText, text, sizeof(text) - sizeof(wchar_t), nullptr);
        char utf8[kChars * 3] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, n, utf8, sizeof(utf8) - 1, nullptr, nullptr);
        rows.push_back(utf8);
    }
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return rows;
}

DWORD KalbritSession::Close() {
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 0xFFFF;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "Kalbrit did not end after Close";
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}
