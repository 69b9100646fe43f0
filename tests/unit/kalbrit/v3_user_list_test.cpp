// The SNMPv3 users list: passphrases to master keys, the numbered section
// it saves, what its elevated copy accepts, and the v3 test trap it sends.
#include <gtest/gtest.h>

#include <string>

#include "hex.h"
#include "kalbrit/elevated_save.h"
#include "kalbrit/test_trap.h"
#include "kalbrit/v3_user_list.h"
#include "support/map_profile_reader.h"
#include "support/usm_test_support.h"
#include "test_crypto.h"

namespace {

const V3UserListRules kRules;

V3UserForm Form(const std::string& name, AuthProtocol auth, PrivProtocol priv, const std::string& authPass,
                const std::string& privPass) {
    V3UserForm form;
    form.name = name;
    form.auth = auth;
    form.priv = priv;
    form.authPassphrase = form.authAgain = authPass;
    form.privPassphrase = form.privAgain = privPass;
    return form;
}

V3FormProblem ProblemOf(const std::optional<V3FormError>& error) {
    return error ? error->problem : V3FormProblem::KeyFailed;
}

}  // namespace

// RFC 3414 A.3.1 and A.3.2: "maplesyrup" with MD5 and with SHA-1.
TEST(V3UserEntry, PassphrasesBecomeTheMasterKeysOfTheAuthHash) {
    SectionValue entry;
    ASSERT_FALSE(V3UserEntry(TestCrypto(), Form("ups", AuthProtocol::Md5, PrivProtocol::Aes128, "maplesyrup", "maplesyrup"),
                             {}, entry));
    EXPECT_EQ(entry.key, "ups");
    EXPECT_EQ(entry.value, "MD5,9faf3283884e92834ebc9847d8edd963,AES,9faf3283884e92834ebc9847d8edd963");

    ASSERT_FALSE(V3UserEntry(TestCrypto(), Form("ups", AuthProtocol::Sha1, PrivProtocol::None, "maplesyrup", ""), {},
                             entry));
    EXPECT_EQ(entry.value, "SHA,9fb5cc0381497b3793528939ff788d5d79145211,none,");
    ASSERT_FALSE(V3UserEntry(TestCrypto(), Form("guest", AuthProtocol::None, PrivProtocol::None, "", ""), {}, entry));
    EXPECT_EQ(entry.value, "none,,none,");
}

TEST(V3UserEntry, RefusesShortOrMistypedPassphrasesAndKeepsOnlyKeysOfTheSameHash) {
    SectionValue entry;
    auto check = [&](const V3UserForm& form, const SectionValue& shown = {}) {
        return V3UserEntry(TestCrypto(), form, shown, entry);
    };
    auto short7 = check(Form("u", AuthProtocol::Sha1, PrivProtocol::None, "1234567", ""));
    ASSERT_TRUE(short7);
    EXPECT_EQ(short7->field, V3FormField::AuthPassphrase);
    EXPECT_EQ(short7->problem, V3FormProblem::PassphraseShort);
    // Three Japanese characters are nine octets but still three characters.
    EXPECT_EQ(ProblemOf(check(Form("u", AuthProtocol::Sha1, PrivProtocol::None, "停電中", ""))),
              V3FormProblem::PassphraseShort);
    V3UserForm mistyped = Form("u", AuthProtocol::Sha1, PrivProtocol::Aes128, "maplesyrup", "privpass1");
    mistyped.privAgain = "privpass2";
    auto mismatch = check(mistyped);
    ASSERT_TRUE(mismatch);
    EXPECT_EQ(mismatch->field, V3FormField::PrivAgain);
    EXPECT_EQ(mismatch->problem, V3FormProblem::PassphraseMismatch);
    EXPECT_EQ(ProblemOf(check(Form("u", AuthProtocol::None, PrivProtocol::Aes128, "", ""))),
              V3FormProblem::PrivacyNeedsAuth);
    EXPECT_EQ(ProblemOf(check(Form("u", AuthProtocol::Sha1, PrivProtocol::None, "", ""))),
              V3FormProblem::PassphraseNeeded);

    // Changing a user: empty passphrases keep its keys while the hash stays...
    const SectionValue shown{"ups", "SHA,9fb5cc0381497b3793528939ff788d5d79145211,AES,00112233445566778899aabbccddeeff00112233"};
    ASSERT_FALSE(check(Form("ups-renamed", AuthProtocol::Sha1, PrivProtocol::Aes128, "", ""), shown));
    EXPECT_EQ(entry.key, "ups-renamed");
    EXPECT_EQ(entry.value, shown.value);
    // ...and are needed again when it changes, since the keys are the hash's.
    EXPECT_EQ(ProblemOf(check(Form("ups", AuthProtocol::Sha256, PrivProtocol::Aes128, "", ""), shown)),
              V3FormProblem::PassphraseNeeded);
    // Privacy added to a user that had none needs its passphrase.
    const SectionValue authOnly{"ups", "SHA,9fb5cc0381497b3793528939ff788d5d79145211,none,"};
    EXPECT_EQ(ProblemOf(check(Form("ups", AuthProtocol::Sha1, PrivProtocol::Aes128, "", ""), authOnly)),
              V3FormProblem::PassphraseNeeded);
}

TEST(V3UserList, SavesUsersNumberedFromOneAsDovrelReadsThem) {
    MapProfileReader file;
    file.Set("usKarn_v3", "user1", usm_test::kShaUser);
    file.Set("usKarn_v3", "user2", "broken,SHA,12,none,");
    file.Set("usKarn_v3", "user3", usm_test::kMd5User);
    file.Set("usKarn_v3", "user5", usm_test::kSha256User);  // after a gap: Dovrel never reads it
    V3UserListLoad load = LoadV3UserList(file, TestCrypto());
    EXPECT_EQ(load.skipped, 1);
    EXPECT_EQ(load.fileKeys, 3u);
    ASSERT_EQ(load.entries.size(), 2u);
    EXPECT_EQ(load.entries[1].key, "ups-md5");

    const V3UserListRules rules(load.fileKeys);
    KeyedList list(rules, load.entries);
    list.Remove(0);
    SectionValue added;
    ASSERT_FALSE(V3UserEntry(TestCrypto(), Form("rack-pdu", AuthProtocol::Sha512, PrivProtocol::Aes128, "maplesyrup",
                                                "pdu privacy"), {}, added));
    ASSERT_FALSE(list.Add(added));
    EXPECT_EQ(list.Add({"Ups-MD5", added.value})->problem, ListProblem::KeyTaken);
    EXPECT_EQ(list.Add({"a,b", added.value})->problem, ListProblem::KeyInvalid);

    const SectionEdit edit = list.Edit();
    EXPECT_EQ(edit.section, "usKarn_v3");
    ASSERT_EQ(edit.set.size(), 2u);
    EXPECT_EQ(edit.set[0].key, "user1");
    EXPECT_EQ(edit.set[1].key, "user2");
    EXPECT_EQ(edit.removed, std::vector<std::string>{"user3"});

    MapProfileReader saved;
    for (const SectionValue& line : edit.set) saved.Set("usKarn_v3", line.key, line.value);
    const UsmUserTable users = ReadUsmUsers(saved, TestCrypto());
    ASSERT_EQ(users.users.size(), 2u);
    EXPECT_EQ(users.skipped, 0);
    EXPECT_EQ(FormatUsmUser(users.users[0]), usm_test::kMd5User);
    EXPECT_EQ(users.users[1].name, "rack-pdu");
    EXPECT_EQ(users.users[1].auth, AuthProtocol::Sha512);
}

TEST(V3UserListElevatedSave, AFullListFitsTheCommandLineAndNothingElseGetsThrough) {
    KeyedList list(kRules, {});
    const std::string sha512 = std::string(usm_test::kSha512User).substr(sizeof "ups-sha512");
    for (size_t i = 0; i < kMaxListedV3Users; ++i)
        ASSERT_FALSE(list.Add({"user-with-a-long-name-" + std::to_string(100000 + i), sha512}));
    EXPECT_EQ(list.Add({"one-too-many", sha512})->problem, ListProblem::Full);
    const std::string path = "C:\\Program Files\\Dovrel\\Dovrel.ini";
    const std::string arguments = ElevatedListArguments(path, list.Edit());
    EXPECT_LT(arguments.size() + sizeof "\"C:\\Program Files\\Dovrel\\Kalbrit.exe\" ", 32767u);
    ElevatedSectionSave save;
    ASSERT_EQ(ParseElevatedListSave(arguments, save), ElevatedSaveLine::Valid);
    EXPECT_EQ(save.edit.set.size(), kMaxListedV3Users);

    const std::string sha = usm_test::kShaUser;
    for (const SectionEdit& bad : {SectionEdit{"usKarn_v3", {{"user2", sha}}, {}},
                                   SectionEdit{"usKarn_v3", {{"user1", sha}, {"user2", sha}}, {}},
                                   SectionEdit{"usKarn_v3", {{"user1", "ups,SHA,00,none,"}}, {}},
                                   SectionEdit{"usKarn_v3", {{"user1", sha + "\r\n[usKarn_trap]\r\nport=1"}}, {}},
                                   SectionEdit{"usKarn_v3", {{"user1", sha}}, {"user1"}},
                                   SectionEdit{"usKarn_v3", {}, {"port"}}}) {
        EXPECT_EQ(ParseElevatedListSave(ElevatedListArguments(path, bad), save), ElevatedSaveLine::Invalid)
            << ElevatedListArguments(path, bad);
    }
    const SectionEdit good{"usKarn_v3", {{"user1", sha}}, {"user2", "user3"}};
    EXPECT_EQ(ParseElevatedListSave(ElevatedListArguments(path, good), save), ElevatedSaveLine::Valid);
}

// What Dovrel's receiver makes of the test trap sent as each kind of user.
TEST(KalbritV3TestTrap, DovrelTakesItAsAColdStartFromANewEngine) {
    usm_test::Fixture dovrel;
    static const usm_test::Bytes kColdStart = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05, 0x01};
    for (const char* name : {"ups-sha", "ups-md5", "ups-sha512", "ups-plain"}) {
        const UsmUser* user = dovrel.User(name);
        ASSERT_NE(user, nullptr);
        const usm_test::Bytes first = EncodeV3TestTrap(TestCrypto(), *user, 123456);
        const usm_test::Bytes second = EncodeV3TestTrap(TestCrypto(), *user, 123456);
        ASSERT_FALSE(first.empty()) << name;
        for (const usm_test::Bytes& trap : {first, second}) {
            const UsmResult result = dovrel.Receive(trap);
            ASSERT_EQ(result.verdict, UsmVerdict::Notification) << name << " refused: " << static_cast<int>(result.refusal);
            EXPECT_EQ(result.user, user);
            EXPECT_EQ(result.level, user->Level());
            EXPECT_EQ(result.replySize, 0u);
            EXPECT_EQ(dovrel.scopedPdu[result.scoped.pduPos], kTagSnmpV2TrapPdu);
            EXPECT_EQ(usm_test::TrapOidOf(dovrel.scopedPdu, result.scoped), kColdStart);
        }
    }
    // Two sends are two engines: neither can look like a replay of the other.
    EXPECT_EQ(dovrel.receiver.KnownEngines(), 6u);

    UsmUser des;
    ASSERT_TRUE(ParseUsmUser("ups-des,SHA,1584901daad7f138e411ab4c06bf1bb7157fd117,DES,"
                             "bc0857826824e74092db24c985944909e6a56fab",
                             des));
    EXPECT_TRUE(EncodeV3TestTrap(TestCrypto(), des, 1).empty());
}
