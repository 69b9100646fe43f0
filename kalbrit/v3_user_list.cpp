#include "kalbrit/v3_user_list.h"

#include <algorithm>

#include "snmp/usm_keys.h"

static_assert(kMaxListedV3Users == 32 && kMinPassphraseChars == 8, "the problem texts name these bounds");

namespace {

constexpr char kUserKeyPrefix[] = "user";

std::string UserKey(std::size_t n) { return kUserKeyPrefix + std::to_string(n); }

// n of a key "userN" (N from 1, no leading zero), else 0.
std::size_t UserKeyNumber(const std::string& key) {
    const std::size_t prefix = sizeof kUserKeyPrefix - 1;
    if (key.size() <= prefix || key.compare(0, prefix, kUserKeyPrefix) != 0 || key[prefix] == '0') return 0;
    std::size_t n = 0;
    for (std::size_t i = prefix; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9' || n > kMaxUsers) return 0;
        n = n * 10 + static_cast<std::size_t>(key[i] - '0');
    }
    return n;
}

std::size_t Utf8Chars(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The master key a passphrase pair gives, or shown's own (kept) when both
// fields are empty and kept is not null.
std::optional<V3FormProblem> MasterKey(Crypto& crypto, AuthProtocol auth, const std::string& passphrase,
                                       const std::string& again, const uint8_t* kept, uint8_t* ku) {
    if (passphrase.empty() && again.empty()) {
        if (!kept) return V3FormProblem::PassphraseNeeded;
        std::copy(kept, kept + KeyLength(auth), ku);
        return std::nullopt;
    }
    if (Utf8Chars(passphrase) < kMinPassphraseChars) return V3FormProblem::PassphraseShort;
    if (passphrase != again) return V3FormProblem::PassphraseMismatch;
    if (!PasswordToKey(crypto, AuthHash(auth), reinterpret_cast<const uint8_t*>(passphrase.data()), passphrase.size(),
                       ku))
        return V3FormProblem::KeyFailed;
    return std::nullopt;
}

}  // namespace

const char* V3UserListRules::Section() const { return "usKarn_v3"; }

bool V3UserListRules::KeyValid(const std::string& name) const {
    if (name.empty() || name.size() > kMaxUserNameSize || name.front() == ' ' || name.back() == ' ') return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E && c != ','; });
}

const char* V3UserListRules::ProblemText(ListProblem problem, UiLanguage language) const {
    const bool ja = language == UiLanguage::Japanese;
    switch (problem) {
    case ListProblem::KeyInvalid:
        return ja ? "ユーザー名は半角英数字と記号で 1 から 32 文字にしてください (カンマと前後の空白は使えません)。"
                  : "User name must be 1 to 32 ASCII letters, digits or symbols, without commas or blanks at the ends.";
    case ListProblem::KeyTaken: return ja ? "このユーザーは既に一覧にあります。" : "This user is in the list already.";
    case ListProblem::Full: return ja ? "ユーザーは 32 人までです。" : "The list holds at most 32 users.";
    default: return ja ? "このユーザーの設定は読み取れません。" : "This user's settings cannot be read.";
    }
}

SectionEdit V3UserListRules::EditOf(const std::vector<SectionValue>& entries,
                                    const std::vector<SectionValue>& /*loaded*/) const {
    SectionEdit edit{Section(), {}, {}};
    for (std::size_t i = 0; i < entries.size(); ++i)
        edit.set.push_back({UserKey(i + 1), entries[i].key + "," + entries[i].value});
    for (std::size_t n = entries.size() + 1; n <= fileKeys_; ++n) edit.removed.push_back(UserKey(n));
    return edit;
}

bool V3UserListRules::IsEdit(const SectionEdit& edit) const {
    if (edit.section != Section()) return false;
    KeyedList list(*this, {});
    for (std::size_t i = 0; i < edit.set.size(); ++i) {
        UsmUser user;
        if (edit.set[i].key != UserKey(i + 1) || !ParseUsmUser(edit.set[i].value, user)) return false;
        if (list.Add({user.name, edit.set[i].value.substr(user.name.size() + 1)})) return false;
    }
    for (const std::string& key : edit.removed) {
        const std::size_t n = UserKeyNumber(key);
        if (n <= edit.set.size() || n > kMaxUsers) return false;
    }
    return true;
}

V3UserListLoad LoadV3UserList(ProfileReader& profile, const Crypto& crypto) {
    const UsmUserTable table = ReadUsmUsers(profile, crypto);
    V3UserListLoad load;
    load.skipped = table.skipped;
    load.fileKeys = table.users.size() + static_cast<std::size_t>(table.skipped);
    for (const UsmUser& user : table.users)
        load.entries.push_back({user.name, FormatUsmUser(user).substr(user.name.size() + 1)});
    return load;
}

bool UserOfEntry(const SectionValue& entry, UsmUser& user) {
    return ParseUsmUser(entry.key + "," + entry.value, user) && user.name == entry.key;
}

std::optional<V3FormError> V3UserEntry(Crypto& crypto, const V3UserForm& form, const SectionValue& shown,
                                       SectionValue& entry) {
    UsmUser user;
    user.name = form.name;
    user.auth = form.auth;
    user.priv = form.priv;
    if (user.auth == AuthProtocol::None) {
        if (user.priv != PrivProtocol::None) return V3FormError{V3FormField::Priv, V3FormProblem::PrivacyNeedsAuth};
    } else {
        if (!crypto.Supports(AuthHash(user.auth))) return V3FormError{V3FormField::Auth, V3FormProblem::Unsupported};
        // A kept key must have been made with the same hash; the privacy
        // key is made with the auth protocol's hash too.
        UsmUser old;
        const bool sameHash = UserOfEntry(shown, old) && old.auth == user.auth;
        if (auto problem = MasterKey(crypto, user.auth, form.authPassphrase, form.authAgain,
                                     sameHash ? old.authKu : nullptr, user.authKu))
            return V3FormError{*problem == V3FormProblem::PassphraseMismatch ? V3FormField::AuthAgain
                                                                              : V3FormField::AuthPassphrase,
                               *problem};
        if (user.priv != PrivProtocol::None) {
            const bool keep = sameHash && old.priv != PrivProtocol::None;
            if (auto problem = MasterKey(crypto, user.auth, form.privPassphrase, form.privAgain,
                                         keep ? old.privKu : nullptr, user.privKu))
                return V3FormError{*problem == V3FormProblem::PassphraseMismatch ? V3FormField::PrivAgain
                                                                                  : V3FormField::PrivPassphrase,
                                   *problem};
        }
    }
    entry = {user.name, FormatUsmUser(user).substr(user.name.size() + 1)};
    return std::nullopt;
}

const char* V3FormProblemText(V3FormProblem problem, UiLanguage language) {
    const bool ja = language == UiLanguage::Japanese;
    switch (problem) {
    case V3FormProblem::PassphraseShort:
        return ja ? "パスフレーズは 8 文字以上にしてください。" : "A passphrase must be at least 8 characters long.";
    case V3FormProblem::PassphraseMismatch:
        return ja ? "確認のために入力したパスフレーズが一致しません。" : "The passphrase typed again does not match.";
    case V3FormProblem::PassphraseNeeded:
        return ja ? "パスフレーズを入力してください (プロトコルを変えたときは入力し直してください)。"
                  : "Type the passphrase (again when the authentication protocol changes).";
    case V3FormProblem::PrivacyNeedsAuth:
        return ja ? "暗号化には認証が必要です。" : "Privacy needs authentication.";
    case V3FormProblem::Unsupported:
        return ja ? "このコンピューターではこの認証プロトコルを使えません。"
                  : "This computer does not provide this authentication protocol.";
    case V3FormProblem::KeyFailed:
        return ja ? "鍵を作れませんでした。" : "The key could not be made.";
    }
    return "";
}
