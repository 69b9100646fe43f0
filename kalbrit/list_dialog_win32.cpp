#include "kalbrit/list_dialog_win32.h"

#include <commctrl.h>

#include <optional>

#include "kalbrit/dialog_template_win32.h"
#include "kalbrit/resource.h"
#include "win/text_win32.h"

namespace {

constexpr wchar_t kTitle[] = L"Kalbrit";

struct ListState {
    const ListDialogKind& kind;
    UiLanguage language;
    KeyedList list;
    const SaveListEdit& save;
};

// The entry dialog's own state: the entry shown, and what the list says of it.
struct EntryState {
    const ListDialogKind& kind;
    UiLanguage language;
    SectionValue entry;
    std::function<std::optional<ListError>(const SectionValue&)> accept;
};

std::string ItemTextA(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int n = GetWindowTextA(item, text.data(), length + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

INT_PTR CALLBACK EntryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<EntryState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<EntryState*>(lParam);
        SendDlgItemMessageW(dialog, IDC_ENTRY_VALUE, EM_LIMITTEXT, state->kind.Rules().MaxValueBytes() + 1, 0);
        state->kind.ShowEntry(dialog, state->entry);
        return TRUE;
    }
    if (message != WM_COMMAND || !state) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: {
        SectionValue entry;
        std::optional<ListDialogKind::EntryProblem> problem =
            state->kind.ReadEntry(dialog, state->entry, state->language, entry);
        if (!problem) {
            if (auto error = state->accept(entry))
                problem = {state->kind.ControlOf(error->field),
                           state->kind.Rules().ProblemText(error->problem, state->language)};
        }
        if (problem) {
            MessageBoxW(dialog, Widen(problem->text, CP_UTF8).c_str(), kTitle, MB_OK | MB_ICONWARNING);
            HWND item = GetDlgItem(dialog, problem->control);
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
            SendMessageW(item, EM_SETSEL, 0, -1);
            return TRUE;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    state->kind.OnEntryCommand(dialog, wParam);
    return FALSE;
}

// Runs the entry dialog until the list accepts what was typed, or it is cancelled.
void EditEntry(HWND owner, ListState& state, const SectionValue& shown,
               std::function<std::optional<ListError>(const SectionValue&)> accept) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const DLGTEMPLATE* form = DialogTemplateFor(instance, state.kind.EntryTemplate(), state.language);
    if (!form) return;
    EntryState entry{state.kind, state.language, shown, std::move(accept)};
    DialogBoxIndirectParamW(instance, form, owner, EntryDialogProc, reinterpret_cast<LPARAM>(&entry));
}

int Selected(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Fill(HWND dialog, const ListState& state, int select) {
    HWND list = GetDlgItem(dialog, IDC_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const auto& entries = state.list.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::vector<std::string> cells = state.kind.Cells(entries[i]);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            std::wstring text = Widen(cells[c], CP_ACP);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            SendMessageW(list, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (select >= 0 && select < static_cast<int>(entries.size())) {
        LVITEMW item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, select, reinterpret_cast<LPARAM>(&item));
        SendMessageW(list, LVM_ENSUREVISIBLE, select, FALSE);
    }
}

void SetUpColumns(HWND dialog, const ListState& state) {
    HWND list = GetDlgItem(dialog, IDC_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT area{};
    GetClientRect(list, &area);
    const std::vector<std::wstring> titles = state.kind.Columns(state.language);
    const int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    for (std::size_t c = 0; c < titles.size(); ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(titles[c].c_str());
        // The key column narrow, the rest share what is left.
        column.cx = c == 0 ? width * 3 / 10 : width * 7 / 10 / static_cast<int>(titles.size() - 1);
        column.iSubItem = static_cast<int>(c);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

void Change(HWND dialog, ListState& state) {
    const int index = Selected(dialog);
    if (index < 0) return;
    const std::size_t at = static_cast<std::size_t>(index);
    EditEntry(dialog, state, state.list.Entries()[at], [&](const SectionValue& e) { return state.list.Change(at, e); });
    Fill(dialog, state, index);
}

INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ListState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<ListState*>(lParam);
        SetUpColumns(dialog, *state);
        Fill(dialog, *state, 0);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (state && header->idFrom == IDC_LIST && header->code == NM_DBLCLK) Change(dialog, *state);
        return FALSE;
    }
    case WM_COMMAND:
        if (!state) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_LIST_ADD:
            EditEntry(dialog, *state, SectionValue{}, [&](const SectionValue& e) { return state->list.Add(e); });
            Fill(dialog, *state, static_cast<int>(state->list.Entries().size()) - 1);
            return TRUE;
        case IDC_LIST_CHANGE: Change(dialog, *state); return TRUE;
        case IDC_LIST_TEST: state->kind.Test(dialog, state->list, Selected(dialog)); return TRUE;
        case IDC_LIST_REMOVE: {
            const int index = Selected(dialog);
            if (index < 0) return TRUE;
            state->list.Remove(static_cast<std::size_t>(index));
            Fill(dialog, *state, index < static_cast<int>(state->list.Entries().size()) ? index : index - 1);
            return TRUE;
        }
        case IDOK:
            if (!state->list.Changed() || state->save(dialog, state->list.Edit())) EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void ListDialogKind::ShowEntry(HWND dialog, const SectionValue& entry) const {
    SetDlgItemTextA(dialog, IDC_ENTRY_KEY, entry.key.c_str());
    SetDlgItemTextA(dialog, IDC_ENTRY_VALUE, entry.value.c_str());
}

std::optional<ListDialogKind::EntryProblem> ListDialogKind::ReadEntry(HWND dialog, const SectionValue& /*shown*/,
                                                                      UiLanguage /*language*/,
                                                                      SectionValue& entry) const {
    // Blanks around the key are typing, not part of it; the value is checked as typed.
    std::string key = ItemTextA(dialog, IDC_ENTRY_KEY);
    const std::size_t b = key.find_first_not_of(" \t"), e = key.find_last_not_of(" \t");
    key = b == std::string::npos ? std::string() : key.substr(b, e - b + 1);
    entry = {key, ItemTextA(dialog, IDC_ENTRY_VALUE)};
    return std::nullopt;
}

int ListDialogKind::ControlOf(ListField field) const { return field == ListField::Key ? IDC_ENTRY_KEY : IDC_ENTRY_VALUE; }

void RunListDialog(HWND owner, UiLanguage language, const ListDialogKind& kind, std::vector<SectionValue> loaded,
                   const SaveListEdit& save) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const DLGTEMPLATE* form = DialogTemplateFor(instance, kind.ListTemplate(), language);
    if (!form) return;
    ListState state{kind, language, KeyedList(kind.Rules(), std::move(loaded)), save};
    DialogBoxIndirectParamW(instance, form, owner, ListDialogProc, reinterpret_cast<LPARAM>(&state));
}
