#include "kalbrit/history_view.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "alert/alert_history.h"
#include "alert/alert_list.h"
#include "alert/history_folder_win32.h"
#include "kalbrit/dialog_template_win32.h"
#include "kalbrit/history_table.h"
#include "kalbrit/resource.h"
#include "win/file_read_win32.h"
#include "win/text_win32.h"

namespace {
constexpr std::size_t kShownAlerts = 500;
constexpr DWORD kLargestFile = 8u << 20;  // Dovrel rotates at 1 MiB


struct ViewState {
    UiLanguage language;
    std::vector<HistoryEntry> entries;
};

// The whole file; empty when it is missing or larger than Dovrel ever
// makes it. Dovrel may append or rotate while it is read.
std::string ReadHistoryFile(const std::wstring& path) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, kLargestFile) != ERROR_SUCCESS) bytes.clear();
    return bytes;
}

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::string& utf8) {
    std::wstring text = Widen(utf8, CP_UTF8);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void Refresh(HWND dialog, ViewState& state) {
    const std::wstring folder = HistoryFolderPath(false);
    state.entries.clear();
    if (!folder.empty())
        state.entries =
            NewestHistory(ParseHistory(ReadHistoryFile(folder + L"\\" + kOlderHistoryFileNameW)),
                          ParseHistory(ReadHistoryFile(folder + L"\\" + kHistoryFileNameW)), kShownAlerts);
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < state.entries.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.lParam = static_cast<LPARAM>(i);
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SetCell(list, row, 0, state.entries[i].time);
        SetCell(list, row, 1, HistorySender(state.entries[i]));
        SetCell(list, row, 2, state.entries[i].text);
    }
    // Time and sender as wide as their texts; the message takes the rest.
    if (!state.entries.empty()) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void SetUpList(HWND dialog, UiLanguage language) {
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT area{};
    GetClientRect(list, &area);
    const int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    const bool ja = language == UiLanguage::Japanese;
    AddColumn(list, 0, ja ? L"\u6642\u523B" : L"Time", width * 26 / 100);         // 時刻
    AddColumn(list, 1, ja ? L"\u9001\u4FE1\u5143" : L"Sender", width * 14 / 100);  // 送信元
    AddColumn(list, 2, ja ? L"\u30E1\u30C3\u30BB\u30FC\u30B8" : L"Message", width * 60 / 100);  // メッセージ
}

// Each row's background in its alert colour; the text stays black, as in
// the alert window.
LRESULT PaintRow(const ViewState& state, NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const std::size_t i = static_cast<std::size_t>(draw->nmcd.lItemlParam);
        if (i < state.entries.size()) {
            // The alert window's own choice; the colour names are ASCII in UTF-8 too.
            draw->clrTextBk = AlertColourFor(state.entries[i].colour.c_str(), CP_UTF8);
            draw->clrText = RGB(0, 0, 0);
        }
        return CDRF_DODEFAULT;
    }
    }
    return CDRF_DODEFAULT;
}

INT_PTR CALLBACK HistoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ViewState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<ViewState*>(lParam);
        SetUpList(dialog, state->language);
        Refresh(dialog, *state);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (state && header->idFrom == IDC_HISTORY_LIST && header->code == NM_CUSTOMDRAW) {
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, PaintRow(*state, reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_HISTORY_REFRESH:
            if (state) Refresh(dialog, *state);
            return TRUE;
        case IDC_HISTORY_FOLDER: {
            // Made when missing, so Explorer has something to open before
            // the first alert.
            const std::wstring folder = HistoryFolderPath(true);
            if (!folder.empty()) ShellExecuteW(dialog, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void RunHistoryView(HWND owner, UiLanguage language) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const DLGTEMPLATE* form = DialogTemplateFor(instance, IDD_HISTORY, language);
    if (!form) return;
    ViewState state{language, {}};
    DialogBoxIndirectParamW(instance, form, owner, HistoryDialogProc, reinterpret_cast<LPARAM>(&state));
}
