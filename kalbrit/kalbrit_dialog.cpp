#include "kalbrit/kalbrit_dialog.h"

#include <string>

#include "app/trap_app.h"
#include "kalbrit/resource.h"
#include "kalbrit/trap_form.h"
#include "win/win32_profile_reader.h"

namespace {

constexpr char kTitle[] = "Kalbrit";

struct DialogState {
    std::string path;
};

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(item);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int n = GetWindowTextA(item, text.data(), length + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

void EnableChoiceEdits(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_TARGET), IsDlgButtonChecked(dialog, IDC_TARGET_ONE) == BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_PROHIBITION),
                 IsDlgButtonChecked(dialog, IDC_PROHIBIT_MASK) == BST_CHECKED);
}

void ShowForm(HWND dialog, const TrapForm& form) {
    CheckRadioButton(dialog, IDC_LANG_ENGLISH, IDC_LANG_JAPANESE,
                     form.english ? IDC_LANG_ENGLISH : IDC_LANG_JAPANESE);
    SetDlgItemTextA(dialog, IDC_PORT, form.port.c_str());
    SetDlgItemTextA(dialog, IDC_TIMEOUT, form.timeout.c_str());
    SetDlgItemTextA(dialog, IDC_COMMUNITY, form.community.c_str());
    CheckRadioButton(dialog, IDC_TARGET_ALL, IDC_TARGET_ONE, form.allSenders ? IDC_TARGET_ALL : IDC_TARGET_ONE);
    SetDlgItemTextA(dialog, IDC_TARGET, form.target.c_str());
    CheckRadioButton(dialog, IDC_PROHIBIT_NONE, IDC_PROHIBIT_MASK,
                     form.noProhibition ? IDC_PROHIBIT_NONE : IDC_PROHIBIT_MASK);
    SetDlgItemTextA(dialog, IDC_PROHIBITION, form.prohibition.c_str());
    EnableChoiceEdits(dialog);
}

TrapForm ReadForm(HWND dialog) {
    TrapForm form;
    form.english = IsDlgButtonChecked(dialog, IDC_LANG_ENGLISH) == BST_CHECKED;
    form.port = ItemText(dialog, IDC_PORT);
    form.timeout = ItemText(dialog, IDC_TIMEOUT);
    form.community = ItemText(dialog, IDC_COMMUNITY);
    form.allSenders = IsDlgButtonChecked(dialog, IDC_TARGET_ONE) != BST_CHECKED;
    form.target = ItemText(dialog, IDC_TARGET);
    form.noProhibition = IsDlgButtonChecked(dialog, IDC_PROHIBIT_MASK) != BST_CHECKED;
    form.prohibition = ItemText(dialog, IDC_PROHIBITION);
    return form;
}

int ControlOf(TrapField field) {
    switch (field) {
    case TrapField::Port: return IDC_PORT;
    case TrapField::Timeout: return IDC_TIMEOUT;
    case TrapField::Community: return IDC_COMMUNITY;
    case TrapField::Target: return IDC_TARGET;
    case TrapField::Prohibition: return IDC_PROHIBITION;
    }
    return IDC_PORT;
}

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n && text ? std::string(text, n) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

// Opening for writing first tells a read-only file or folder apart before any
// key is written, so a failure never leaves half of the section changed.
bool CanWrite(const std::string& path, DWORD& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    CloseHandle(file);
    return true;
}

void Save(HWND dialog, const DialogState& state) {
    TrapForm form = ReadForm(dialog);
    if (auto problem = ValidateTrapForm(form)) {
        std::string text = std::string(TrapFieldName(problem->field)) + ": " + problem->message +
                           "\n\nNothing has been saved.";
        MessageBoxA(dialog, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
        HWND item = GetDlgItem(dialog, ControlOf(problem->field));
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
        SendMessageA(item, EM_SETSEL, 0, -1);
        return;
    }
    DWORD error = 0;
    if (!CanWrite(state.path, error)) {
        std::string text = "The settings file cannot be written:\n" + state.path + "\n" + SystemMessage(error) +
                           "\n\nNothing has been saved.";
        MessageBoxA(dialog, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    for (const TrapSetting& setting : TrapSettingsFromForm(form)) {
        if (!WritePrivateProfileStringA(kTrapSection, setting.key, setting.value.c_str(), state.path.c_str())) {
            std::string text = "Writing " + std::string(setting.key) + " to " + state.path +
                               " failed:\n" + SystemMessage(GetLastError());
            MessageBoxA(dialog, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
            return;
        }
    }
    std::string text = "The trap settings have been saved to\n" + state.path +
                       "\n\nTrap settings take effect when Dovrel is started again.";
    MessageBoxA(dialog, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

INT_PTR CALLBACK KalbritDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (int id : {IDC_PORT, IDC_TIMEOUT}) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, 5, 0);
        SendDlgItemMessageA(dialog, IDC_COMMUNITY, EM_LIMITTEXT, 511, 0);
        for (int id : {IDC_TARGET, IDC_PROHIBITION}) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, 15, 0);
        SetDlgItemTextA(dialog, IDC_FILE_PATH, state->path.c_str());
        Win32ProfileReader reader(state->path);
        ShowForm(dialog, LoadTrapForm(reader));
        // Dovrel starts this program with SW_HIDE, which the first ShowWindow
        // call of a process takes over; the second call shows the window.
        ShowWindow(dialog, SW_SHOWNORMAL);
        ShowWindow(dialog, SW_SHOWNORMAL);
        SetForegroundWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case IDC_SAVE:
            if (state) Save(dialog, *state);
            return TRUE;
        case IDOK:  // Enter in an edit field saves as the default button does
            if (state) Save(dialog, *state);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_TARGET_ALL:
        case IDC_TARGET_ONE:
        case IDC_PROHIBIT_NONE:
        case IDC_PROHIBIT_MASK:
            EnableChoiceEdits(dialog);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

}  // namespace

INT_PTR RunKalbritDialog(HINSTANCE instance, const std::string& path) {
    DialogState state{path};
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_KALBRIT), nullptr, KalbritDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}
