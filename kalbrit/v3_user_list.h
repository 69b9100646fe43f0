#pragma once
// The SNMPv3 users list: [usKarn_v3] as Kalbrit edits it. In the list an
// entry's key is the user name and its value the rest of the line,
// "auth,authKu,priv,privKu"; the section holds them as user1, user2, ...
// in list order, the way Dovrel reads them (snmp/usm_users.h).
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/crypto.h"
#include "core/profile_reader.h"
#include "kalbrit/keyed_list.h"
#include "snmp/usm_users.h"

// The elevated copy is handed the whole list on its command line, which
// Windows bounds at 32767 characters: 32 users with SHA-512 keys fit.
constexpr std::size_t kMaxListedV3Users = 32;

class V3UserListRules final : public ListRules {
public:
    // fileKeys: the consecutive userN keys the section held when loaded;
    // those past the saved list are removed.
    explicit V3UserListRules(std::size_t fileKeys = 0) : fileKeys_(fileKeys) {}
    const char* Section() const override;
    std::size_t MaxEntries() const override { return kMaxListedV3Users; }
    // A SHA-512 line without its name: the words, commas and two 128-digit keys.
    std::size_t MaxValueBytes() const override { return 300; }
    // 1 to 32 printable ASCII characters, no comma, no blank at either end:
    // the octets a device sends as its user name, whatever the code page.
    bool KeyValid(const std::string& name) const override;
    const char* ProblemText(ListProblem problem, UiLanguage language) const override;
    SectionEdit EditOf(const std::vector<SectionValue>& entries,
                       const std::vector<SectionValue>& loaded) const override;
    // user1..userN, each a line Dovrel reads, names distinct; removed keys
    // are userK past the list.
    bool IsEdit(const SectionEdit& edit) const override;

private:
    std::size_t fileKeys_;
};

struct V3UserListLoad {
    std::vector<SectionValue> entries;  // the users Dovrel reads, in order
    std::size_t fileKeys = 0;           // userN keys read, including skipped ones
    int skipped = 0;                    // lines Dovrel skips; a save drops them
};
V3UserListLoad LoadV3UserList(ProfileReader& profile, const Crypto& crypto);

// The user an entry of the list stands for.
bool UserOfEntry(const SectionValue& entry, UsmUser& user);

// What the user entry dialog holds. Passphrases are UTF-8.
struct V3UserForm {
    std::string name;
    AuthProtocol auth = AuthProtocol::Sha1;
    PrivProtocol priv = PrivProtocol::Aes128;
    std::string authPassphrase, authAgain;
    std::string privPassphrase, privAgain;
};

enum class V3FormField { Name, Auth, AuthPassphrase, AuthAgain, Priv, PrivPassphrase, PrivAgain };
enum class V3FormProblem { PassphraseShort, PassphraseMismatch, PassphraseNeeded, PrivacyNeedsAuth, Unsupported, KeyFailed };
struct V3FormError {
    V3FormField field;
    V3FormProblem problem;
};

// Passphrases shorter than this are refused (RFC 3414 11.2; net-snmp's minimum).
constexpr std::size_t kMinPassphraseChars = 8;

// Turns the form into a list entry, the passphrases into master keys by
// the password-to-key algorithm of the auth protocol's hash (the privacy
// key too). Both fields of a passphrase left empty keep shown's key, when
// shown (the entry being changed) has one made with the same hash.
std::optional<V3FormError> V3UserEntry(Crypto& crypto, const V3UserForm& form, const SectionValue& shown,
                                       SectionValue& entry);
const char* V3FormProblemText(V3FormProblem problem, UiLanguage language);
