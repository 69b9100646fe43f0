#include "kalbrit/v3_users_dialog_win32.h"

#include <vector>

#include "kalbrit/resource.h"
#include "kalbrit/v3_user_list.h"
#include "win/cng_crypto.h"
#include "win/text_win32.h"
#include "win/win32_profile_reader.h"

namespace {

constexpr wchar_t kTitle[] = L"Kalbrit";

// The protocols the entry dialog offers, in its combo boxes' order. SHA-224
// is left out: Windows' CNG has no SHA-224.
constexpr AuthProtocol kAuthChoices[] = {AuthProtocol::None,   AuthProtocol::Md5,    AuthProtocol::Sha1,
                                         AuthProtocol::Sha256, AuthProtocol::Sha384, AuthProtocol::Sha512};
constexpr PrivProtocol kPrivChoices[] = {PrivProtocol::None, PrivProtocol::Aes128};

const wchar_t* PrivName(PrivProtocol protocol, UiLanguage language) {
    switch (protocol) {
    case PrivProtocol::None: return L"-";
    case PrivProtocol::Aes128: return L"AES-128";
    case PrivProtocol::Des: return language == UiLanguage::Japanese ? L"DES (\u975E\u5BFE\u5FDC)" : L"DES (not supported)";  // 非対応
    }
    return L"";
}

const wchar_t* NoneName(UiLanguage language) {
    return language == UiLanguage::Japanese ? L"\u306A\u3057" : L"none";  // なし
}

// A combo box's item.
std::wstring ChoiceName(AuthProtocol protocol, UiLanguage language) {
    return protocol == AuthProtocol::None ? NoneName(language) : Widen(AuthProtocolName(protocol), CP_ACP);
}
std::wstring ChoiceName(PrivProtocol protocol, UiLanguage language) {
    return protocol == PrivProtocol::None ? NoneName(language) : PrivName(protocol, language);
}

template <typename T, size_t N>
void FillCombo(HWND dialog, int id, const T (&choices)[N], T selected, UiLanguage language) {
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < N; ++i) {
        const std::wstring name = ChoiceName(choices[i], language);
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (choices[i] == selected) SendDlgItemMessageW(dialog, id, CB_SETCURSEL, i, 0);
    }
}

template <typename T, size_t N>
T ComboChoice(HWND dialog, int id, const T (&choices)[N]) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<size_t>(index) < N ? choices[index] : choices[0];
}

// A passphrase field as UTF-8; the field's own copy is cleared here.
std::string Passphrase(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(item, wide.data(), static_cast<int>(wide.size()))));
    std::string text = Narrow(wide, CP_UTF8);
    SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));
    return text;
}

void Wipe(std::string& text) {
    if (!text.empty()) SecureZeroMemory(text.data(), text.size());
}

// Passphrases only where the chosen protocols take them.
void EnableFields(HWND dialog) {
    const bool auth = ComboChoice(dialog, IDC_ENTRY_AUTH, kAuthChoices) != AuthProtocol::None;
    const bool priv = auth && ComboChoice(dialog, IDC_ENTRY_PRIV, kPrivChoices) != PrivProtocol::None;
    EnableWindow(GetDlgItem(dialog, IDC_ENTRY_PRIV), auth);
    for (int id : {IDC_ENTRY_AUTH_PASS, IDC_ENTRY_AUTH_AGAIN}) EnableWindow(GetDlgItem(dialog, id), auth);
    for (int id : {IDC_ENTRY_PRIV_PASS, IDC_ENTRY_PRIV_AGAIN}) EnableWindow(GetDlgItem(dialog, id), priv);
}

int ControlOfField(V3FormField field) {
    switch (field) {
    case V3FormField::Name: return IDC_ENTRY_KEY;
    case V3FormField::Auth: return IDC_ENTRY_AUTH;
    case V3FormField::AuthPassphrase: return IDC_ENTRY_AUTH_PASS;
    case V3FormField::AuthAgain: return IDC_ENTRY_AUTH_AGAIN;
    case V3FormField::Priv: return IDC_ENTRY_PRIV;
    case V3FormField::PrivPassphrase: return IDC_ENTRY_PRIV_PASS;
    case V3FormField::PrivAgain: return IDC_ENTRY_PRIV_AGAIN;
    }
    return IDC_ENTRY_KEY;
}

const char* TestWords(bool changed, UiLanguage language) {
    const bool ja = language == UiLanguage::Japanese;
    if (changed)
        return ja ? "先に一覧を保存してください。テスト トラップは保存済みのユーザーとして送ります "
                    "(Dovrel は起動し直したときにユーザーを読み込みます)。"
                  : "Save the list first: the test trap is sent as a saved user, as Dovrel knows the users once it "
                    "starts again.";
    return ja ? "テスト トラップを送るユーザーを選んでください。" : "Select the user to send the test trap as.";
}

class V3UsersKind final : public ListDialogKind {
public:
    V3UsersKind(size_t fileKeys, UiLanguage language, const SendUserTestTrap& test)
        : rules_(fileKeys), language_(language), test_(test) {}

    const ListRules& Rules() const override { return rules_; }
    int ListTemplate() const override { return IDD_V3_USERS; }
    int EntryTemplate() const override { return IDD_V3_USER_ENTRY; }
    std::vector<std::wstring> Columns(UiLanguage language) const override {
        if (language == UiLanguage::Japanese) return {L"\u30E6\u30FC\u30B6\u30FC", L"\u8A8D\u8A3C", L"\u6697\u53F7\u5316"};
        return {L"User", L"Authentication", L"Privacy"};
    }
    std::vector<std::string> Cells(const SectionValue& entry) const override {
        UsmUser user;
        if (!UserOfEntry(entry, user)) return {entry.key, "?", "?"};
        return {user.name, user.auth == AuthProtocol::None ? "-" : AuthProtocolName(user.auth), Narrow(PrivName(user.priv, language_), CP_ACP)};
    }
    void ShowEntry(HWND dialog, const SectionValue& entry) const override {
        UsmUser user;
        user.auth = AuthProtocol::Sha1;
        user.priv = PrivProtocol::Aes128;
        if (!entry.key.empty()) UserOfEntry(entry, user);
        SetDlgItemTextA(dialog, IDC_ENTRY_KEY, entry.key.c_str());
        SendDlgItemMessageW(dialog, IDC_ENTRY_KEY, EM_LIMITTEXT, kMaxUserNameSize, 0);
        for (int id : {IDC_ENTRY_AUTH_PASS, IDC_ENTRY_AUTH_AGAIN, IDC_ENTRY_PRIV_PASS, IDC_ENTRY_PRIV_AGAIN})
            SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 255, 0);
        FillCombo(dialog, IDC_ENTRY_AUTH, kAuthChoices, user.auth, language_);
        // A DES user (from the file) is offered AES: DES cannot be chosen, and
        // its key, made from the passphrase the same way, serves AES too.
        FillCombo(dialog, IDC_ENTRY_PRIV, kPrivChoices, user.priv == PrivProtocol::Des ? PrivProtocol::Aes128 : user.priv,
                  language_);
        EnableFields(dialog);
    }
    std::optional<EntryProblem> ReadEntry(HWND dialog, const SectionValue& shown, UiLanguage language,
                                          SectionValue& entry) const override {
        V3UserForm form;
        SectionValue typed;
        ListDialogKind::ReadEntry(dialog, shown, language, typed);  // the name, without blanks around it
        form.name = typed.key;
        form.auth = ComboChoice(dialog, IDC_ENTRY_AUTH, kAuthChoices);
        form.priv = form.auth == AuthProtocol::None ? PrivProtocol::None : ComboChoice(dialog, IDC_ENTRY_PRIV, kPrivChoices);
        form.authPassphrase = Passphrase(dialog, IDC_ENTRY_AUTH_PASS);
        form.authAgain = Passphrase(dialog, IDC_ENTRY_AUTH_AGAIN);
        form.privPassphrase = Passphrase(dialog, IDC_ENTRY_PRIV_PASS);
        form.privAgain = Passphrase(dialog, IDC_ENTRY_PRIV_AGAIN);
        // The name first, as the list would check it, so that its problem
        // comes before the passphrases'.
        std::optional<EntryProblem> problem;
        if (!rules_.KeyValid(form.name)) {
            problem = EntryProblem{IDC_ENTRY_KEY, rules_.ProblemText(ListProblem::KeyInvalid, language)};
        } else if (auto error = V3UserEntry(crypto_, form, shown, entry)) {
            problem = EntryProblem{ControlOfField(error->field), V3FormProblemText(error->problem, language)};
        }
        for (std::string* text : {&form.authPassphrase, &form.authAgain, &form.privPassphrase, &form.privAgain})
            Wipe(*text);
        return problem;
    }
    int ControlOf(ListField field) const override { return field == ListField::Key ? IDC_ENTRY_KEY : IDC_ENTRY_AUTH; }
    void OnEntryCommand(HWND dialog, WPARAM wParam) const override {
        if (HIWORD(wParam) == CBN_SELCHANGE) EnableFields(dialog);
    }
    void Test(HWND dialog, const KeyedList& list, int selected) const override {
        UsmUser user;
        if (list.Changed() || selected < 0 || !UserOfEntry(list.Entries()[static_cast<size_t>(selected)], user)) {
            MessageBoxW(dialog, Widen(TestWords(list.Changed(), language_), CP_UTF8).c_str(), kTitle,
                        MB_OK | MB_ICONINFORMATION);
            return;
        }
        test_(dialog, user);
    }

private:
    V3UserListRules rules_;
    UiLanguage language_;
    const SendUserTestTrap& test_;
    mutable CngCrypto crypto_;  // the platform's hashes, for the passphrases typed
};

}  // namespace

void RunV3UsersDialog(HWND owner, UiLanguage language, const std::string& path, const SaveListEdit& save,
                      const SendUserTestTrap& test) {
    Win32ProfileReader reader(path);
    CngCrypto crypto;
    V3UserListLoad load = LoadV3UserList(reader, crypto);
    const V3UsersKind kind(load.fileKeys, language, test);
    if (load.skipped > 0) {
        const bool ja = language == UiLanguage::Japanese;
        const std::wstring text =
            Widen(ja ? "設定ファイルの SNMPv3 ユーザーのうち、読み取れない行が " : "Lines of SNMPv3 users that cannot be read: ",
                  CP_UTF8) +
            std::to_wstring(load.skipped) +
            Widen(ja ? " 行あります。Dovrel はそれらを無視します。一覧を保存すると、それらの行は削除されます。"
                     : ". Dovrel ignores them; saving the list removes them.",
                  CP_UTF8);
        MessageBoxW(owner, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
    }
    RunListDialog(owner, language, kind, std::move(load.entries), save);
}
