#include "kalbrit/kalbrit_dialog.h"

#include <cstdlib>
#include <string>

#include "alert/alert_list.h"
#include "alert/message_catalogue.h"
#include "kalbrit/devices_dialog_win32.h"
#include "kalbrit/dialog_template_win32.h"
#include "kalbrit/dovrel_control_win32.h"
#include "kalbrit/dovrel_status_win32.h"
#include "kalbrit/elevated_copy_win32.h"
#include "kalbrit/elevated_save.h"
#include "kalbrit/firewall_notice.h"
#include "kalbrit/history_view.h"
#include "kalbrit/kalbrit_texts.h"
#include "kalbrit/resource.h"
#include "kalbrit/settings_path_win32.h"
#include "kalbrit/settings_save_win32.h"
#include "kalbrit/test_trap.h"
#include "kalbrit/test_trap_send_win32.h"
#include "kalbrit/trap_form.h"
#include "kalbrit/v3_users_dialog_win32.h"
#include "settings/settings_paths.h"
#include "win/cng_crypto.h"
#include "win/handles.h"
#include "win/network_category_win32.h"
#include "win/sent_messages.h"
#include "win/text_win32.h"
#include "win/win32_profile_reader.h"

namespace {

constexpr wchar_t kTitle[] = L"Kalbrit";

struct DialogState {
    std::string path;
    UiLanguage language;
    bool saving = false;  // while the elevated copy runs or Dovrel restarts
    bool settingsChanged = false;  // by the save under way
};

// Texts of the table are UTF-8; paths and values are in the ANSI code page.
std::wstring Text(KalbritText id, UiLanguage language) { return Widen(TextOf(id, language), CP_UTF8); }
std::wstring Ansi(const std::string& text) { return Widen(text, CP_ACP); }

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
    CheckDlgButton(dialog, IDC_ACCEPT_V2C, form.acceptV2c ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_MERGE_REPEATS, form.mergeRepeats ? BST_CHECKED : BST_UNCHECKED);
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
    form.acceptV2c = IsDlgButtonChecked(dialog, IDC_ACCEPT_V2C) == BST_CHECKED;
    form.mergeRepeats = IsDlgButtonChecked(dialog, IDC_MERGE_REPEATS) == BST_CHECKED;
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

// The system's wording of an error, in the user's language.
std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring s = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ')) s.pop_back();
    wchar_t code[32];
    wsprintfW(code, L"(%lu)", error);
    return s.empty() ? code : s + L" " + code;
}

void Tell(HWND dialog, const std::wstring& text, UINT icon) { MessageBoxW(dialog, text.c_str(), kTitle, MB_OK | icon); }

void TellNothingSaved(HWND dialog, const DialogState& state, const std::wstring& head, UINT icon) {
    Tell(dialog, head + L"\n\n" + Text(KalbritText::NothingSaved, state.language), icon);
}

bool Ask(HWND dialog, const std::wstring& text) {
    return MessageBoxW(dialog, text.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The saved values of the file as Dovrel reads them.
TrapForm SavedForm(const std::string& path) {
    Win32ProfileReader reader(path);
    return LoadTrapForm(reader);
}

bool SameSettings(const std::vector<TrapSetting>& a, const std::vector<TrapSetting>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].value != b[i].value) return false;
    return true;
}

// Only a save of the file that the installed Dovrel reads concerns it, and
// only that file is ever saved with administrator rights.
bool EditsDovrelsFile(const DialogState& state) { return NamesInstalledSettingsFile(state.path); }

DWORD WINAPI RestartThread(void* outcome) {
    *static_cast<DovrelStart*>(outcome) = RestartDovrel();
    return 0;
}

// The restart can take half a minute (FinWin waits up to 20 s): it runs on
// a thread of its own while this window, disabled, keeps answering, so that
// Windows does not mark it "Not responding".
DovrelStart RestartWhileResponsive(HWND dialog) {
    DovrelStart outcome{DovrelStart::Running, ERROR_SUCCESS, {}};
    UniqueHandle thread(CreateThread(nullptr, 0, RestartThread, &outcome, 0, nullptr));
    if (!thread) return RestartDovrel();
    EnableWindow(dialog, FALSE);
    WaitDispatchingMessages(thread.Get());
    EnableWindow(dialog, TRUE);
    SetForegroundWindow(dialog);
    return outcome;
}

// Ends and starts Dovrel from this window, which runs with the user's own
// rights (the elevated copy only saves), and says how it went.
void RestartDovrelAndTell(HWND dialog, DialogState& state) {
    const UiLanguage lang = state.language;
    state.saving = true;
    const DovrelStart outcome = RestartWhileResponsive(dialog);
    state.saving = false;
    const std::wstring port = Ansi(SavedForm(state.path).port);
    switch (outcome.kind) {
    case DovrelStart::Running:
        Tell(dialog, Text(KalbritText::Restarted, lang) + L" " + port + L".", MB_ICONINFORMATION);
        return;
    case DovrelStart::NoInstallPath:
        Tell(dialog, Text(KalbritText::NoInstallPath, lang), MB_ICONWARNING);
        return;
    case DovrelStart::FinwinMissing:
        Tell(dialog, Text(KalbritText::FinwinMissing, lang) + L"\n" + Ansi(outcome.detail), MB_ICONERROR);
        return;
    case DovrelStart::StillRunning:
        Tell(dialog, Text(KalbritText::StillRunning, lang), MB_ICONWARNING);
        return;
    case DovrelStart::NotStarted:
        Tell(dialog, Text(KalbritText::CannotStart, lang) + L"\n" + Ansi(outcome.detail) + L"\n" +
                         SystemMessage(outcome.error),
             MB_ICONERROR);
        return;
    case DovrelStart::NotStartedElevated:
        Tell(dialog, Text(KalbritText::NotStartedElevated, lang), MB_ICONWARNING);
        return;
    case DovrelStart::Failed:
        Tell(dialog, Text(KalbritText::DidNotComeUp, lang) + L" " + port + L"\n\n" +
                         Text(KalbritText::WhatToCheck, lang),
             MB_ICONWARNING);
        return;
    }
}

// After a save: offers to restart a running Dovrel when a setting changed,
// or to start one when none runs.
void TellSaved(HWND dialog, DialogState& state, KalbritText how) {
    const UiLanguage lang = state.language;
    const std::wstring saved = Text(how, lang) + L"\n" + Ansi(state.path) + L"\n\n";
    if (EditsDovrelsFile(state)) {
        const bool running = FindDovrelWindow() != nullptr;
        if (running && state.settingsChanged) {
            if (Ask(dialog, saved + Text(KalbritText::OfferRestart, lang))) RestartDovrelAndTell(dialog, state);
            return;
        }
        if (!running) {
            if (Ask(dialog, saved + Text(KalbritText::OfferStart, lang))) RestartDovrelAndTell(dialog, state);
            return;
        }
    }
    Tell(dialog, saved + Text(KalbritText::TakesEffect, lang), MB_ICONINFORMATION);
}

// The alert's colour as Dovrel chooses it from the catalogue's colour name.
std::wstring ColourText(const std::string& colourName, UiLanguage lang) {
    const uint32_t colour = AlertColourFor(colourName.c_str(), GetACP());
    return Text(colour == kColourRed     ? KalbritText::ColourRed
                : colour == kColourGreen ? KalbritText::ColourGreen
                                         : KalbritText::ColourOrange,
                lang);
}

// Sends the test trap with the saved port and community (or, given a user,
// as that SNMPv3 user) and says what Dovrel should show, and what the test
// cannot prove.
void SendTestTrap(HWND dialog, const DialogState& state, const UsmUser* user = nullptr) {
    const UiLanguage lang = state.language;
    Win32ProfileReader reader(state.path);
    const TrapForm saved = LoadTrapForm(reader);
    if (auto problem = ValidateTrapForm(saved)) {
        Tell(dialog,
             Text(KalbritText::TestSettingsInvalid, lang) + L"\n\n" + Widen(FieldLabel(problem->field, lang), CP_UTF8) +
                 L": " + Widen(ProblemText(problem->problem, lang), CP_UTF8),
             MB_ICONWARNING);
        return;
    }
    const auto port = static_cast<unsigned short>(std::atoi(saved.port.c_str()));
    // The time-stamp is the agent's uptime, here this computer's, in hundredths of a second.
    const DWORD uptime = GetTickCount() / 10;
    std::vector<uint8_t> datagram;
    if (user) {
        CngCrypto crypto;
        datagram = EncodeV3TestTrap(crypto, *user, uptime);
        if (datagram.empty()) {
            Tell(dialog, Text(KalbritText::TestUserUnsupported, lang), MB_ICONWARNING);
            return;
        }
    } else {
        datagram = EncodeTestTrap(saved.community, uptime);
    }
    const DWORD error = SendDatagramToLoopback(port, datagram);
    if (error != ERROR_SUCCESS) {
        Tell(dialog, Text(KalbritText::TestNotSent, lang) + L"\n" + SystemMessage(error), MB_ICONERROR);
        return;
    }
    std::wstring text = user ? Text(KalbritText::TestSentAsUser, lang) + L" " + Ansi(user->name) +
                                   Text(KalbritText::TestSentPort, lang) + L" " + Ansi(saved.port) + L".\n\n"
                             : Text(KalbritText::TestSent, lang) + L" " + Ansi(saved.port) + L".\n\n";
    UINT icon = MB_ICONINFORMATION;
    const HWND dovrel = FindDovrelWindow();
    if (!SendersAcceptTestTrap(saved)) {
        text += Text(KalbritText::TestRefusedBySenders, lang);
        icon = MB_ICONWARNING;
    } else if (!dovrel) {
        text += Text(KalbritText::TestNotRunning, lang);
        icon = MB_ICONWARNING;
    } else {
        std::string colour;
        const std::string alert = LookupMessage(reader, saved.english ? 1 : 0, kTestTrapMessage, colour);
        // The Japanese catalogue is Shift-JIS whatever this system's code page.
        text += Text(KalbritText::TestExpect, lang) + L"\n[" + ColourText(colour, lang) + L"] " +
                Widen(alert, saved.english ? CP_ACP : 932);
    }
    // What Dovrel refused before this test: a device's wrong community or a
    // sender filter shows here, which the test itself cannot show.
    if (auto refusals = AskDovrelRefusals(dovrel)) {
        const bool japanese = lang == UiLanguage::Japanese;
        text += L"\n\n" + Text(KalbritText::TestRefusedSoFar, lang) + L"\n" +
                Widen(RefusalSummaryText(*refusals, japanese), japanese ? 932 : CP_ACP);
    }
    // A test from this computer never crosses the firewall; a device's trap does.
    std::string recordedRule;
    FindInstallValue(kFirewallProfilesValue, recordedRule);
    if (auto notice = FirewallNotice(ParseFirewallRule(recordedRule), ConnectedToPublicNetwork())) {
        text += L"\n\n" + Text(*notice, lang);
        icon = MB_ICONWARNING;
    }
    text += L"\n\n" + Text(KalbritText::TestLimits, lang) + L"\n\n" + Text(KalbritText::TestUsesSaved, lang);
    Tell(dialog, text, icon);
}

// How a save is worded and, should it need administrator rights, the
// elevated copy's arguments.
struct SaveWords {
    KalbritText saved;
    KalbritText savedAsAdministrator;
    std::string elevatedArguments;
};

// The settings file's folder is not writable for this user (Program Files,
// the Windows folder) or the file is read-only: save through an elevated copy.
bool SaveAsAdministrator(HWND dialog, DialogState& state, const SaveWords& words) {
    state.saving = true;
    ElevatedOutcome outcome = RunElevatedSave(dialog, words.elevatedArguments);
    state.saving = false;
    const UiLanguage lang = state.language;
    switch (outcome.kind) {
    case ElevatedOutcome::Saved:
        TellSaved(dialog, state, words.savedAsAdministrator);
        return true;
    case ElevatedOutcome::Declined:
        TellNothingSaved(dialog, state, Text(KalbritText::NeedsAdministrator, lang), MB_ICONWARNING);
        return false;
    case ElevatedOutcome::NotStarted:
        TellNothingSaved(dialog, state, Text(KalbritText::CannotElevate, lang) + L"\n" + SystemMessage(outcome.error),
                         MB_ICONERROR);
        return false;
    case ElevatedOutcome::Failed:
        TellNothingSaved(dialog, state,
                         Text(KalbritText::FailedAsAdministrator, lang) + L"\n" + Ansi(state.path) + L"\n" +
                             SystemMessage(outcome.error),
                         MB_ICONERROR);
        return false;
    }
    return false;
}

// Says how a save that ended with error went, elevating when it was refused
// for want of rights; true when the file was saved.
bool TellSaveOutcome(HWND dialog, DialogState& state, DWORD error, const SaveWords& words) {
    const UiLanguage lang = state.language;
    if (error == ERROR_SUCCESS) {
        TellSaved(dialog, state, words.saved);
        return true;
    }
    if (error == ERROR_ACCESS_DENIED && EditsDovrelsFile(state)) return SaveAsAdministrator(dialog, state, words);
    if (error == kErrorUtf16SettingsFile) {
        TellNothingSaved(dialog, state, Text(KalbritText::Utf16File, lang) + L"\n" + Ansi(state.path), MB_ICONERROR);
    } else {
        TellNothingSaved(dialog, state,
                         Text(KalbritText::CannotWrite, lang) + L"\n" + Ansi(state.path) + L"\n" + SystemMessage(error),
                         MB_ICONERROR);
    }
    return false;
}

void Save(HWND dialog, DialogState& state) {
    const UiLanguage lang = state.language;
    TrapForm form = ReadForm(dialog);
    if (auto problem = ValidateTrapForm(form)) {
        TellNothingSaved(dialog, state,
                         Widen(FieldLabel(problem->field, lang), CP_UTF8) + L": " +
                             Widen(ProblemText(problem->problem, lang), CP_UTF8),
                         MB_ICONWARNING);
        HWND item = GetDlgItem(dialog, ControlOf(problem->field));
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
        SendMessageW(item, EM_SETSEL, 0, -1);
        return;
    }
    const std::vector<TrapSetting> settings = TrapSettingsFromForm(form);
    state.settingsChanged = !SameSettings(TrapSettingsFromForm(SavedForm(state.path)), settings);
    TellSaveOutcome(dialog, state, SaveTrapSettingsToFile(state.path, settings, false),
                    {KalbritText::Saved, KalbritText::SavedAsAdministrator, ElevatedSaveArguments(state.path, settings)});
}

// A list saves its own section alone, as the form saves the trap section,
// worded as the list is; Dovrel reads the lists at start, as it reads the
// trap section.
SaveListEdit SaveListWorded(DialogState& state, KalbritText saved, KalbritText savedAsAdministrator) {
    return [&state, saved, savedAsAdministrator](HWND list, const SectionEdit& edit) {
        state.settingsChanged = true;
        return TellSaveOutcome(list, state, SaveSectionEditToFile(state.path, edit, false),
                               {saved, savedAsAdministrator, ElevatedListArguments(state.path, edit)});
    };
}

void EditDevices(HWND dialog, DialogState& state) {
    RunDevicesDialog(dialog, state.language, state.path,
                     SaveListWorded(state, KalbritText::DevicesSaved, KalbritText::DevicesSavedAsAdministrator));
}

// The SNMPv3 users list's test trap goes as a saved user.
void EditV3Users(HWND dialog, DialogState& state) {
    RunV3UsersDialog(dialog, state.language, state.path,
                     SaveListWorded(state, KalbritText::UsersSaved, KalbritText::UsersSavedAsAdministrator),
                     [&state](HWND list, const UsmUser& user) { SendTestTrap(list, state, &user); });
}

INT_PTR CALLBACK KalbritDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        for (int id : {IDC_PORT, IDC_TIMEOUT}) SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 5, 0);
        SendDlgItemMessageW(dialog, IDC_COMMUNITY, EM_LIMITTEXT, 511, 0);
        for (int id : {IDC_TARGET, IDC_PROHIBITION}) SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 15, 0);
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
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case IDC_SAVE:
        case IDOK:  // Enter in an edit field saves as the default button does
            if (state && !state->saving) Save(dialog, *state);
            return TRUE;
        case IDC_SEND_TEST:
            if (state && !state->saving) SendTestTrap(dialog, *state);
            return TRUE;
        case IDCANCEL:
            // Not while the elevated copy writes: its outcome is still to be told.
            if (!state || !state->saving) EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_HISTORY:
            if (state && !state->saving) RunHistoryView(dialog, state->language);
            return TRUE;
        case IDC_DEVICES:
            if (state && !state->saving) EditDevices(dialog, *state);
            return TRUE;
        case IDC_V3_USERS:
            if (state && !state->saving) EditV3Users(dialog, *state);
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

UiLanguage KalbritLanguage() { return ChooseUiLanguage(GetUserDefaultUILanguage(), GetACP()); }

INT_PTR RunKalbritDialog(HINSTANCE instance, const std::string& path) {
    DialogState state{path, KalbritLanguage()};
    const DLGTEMPLATE* form = DialogTemplateFor(instance, IDD_KALBRIT, state.language);
    if (!form) return -1;
    return DialogBoxIndirectParamW(instance, form, nullptr, KalbritDialogProc, reinterpret_cast<LPARAM>(&state));
}
