// The [usKarn_v3] users section: what parses, what is skipped and counted,
// and what is kept but marked unsupported.
#include <gtest/gtest.h>

#include "support/usm_test_support.h"

using namespace usm_test;

TEST(UsmUsers, EachProtocolParsesWithItsKeyLength) {
    const UsmUserTable table = AllUsers();
    EXPECT_EQ(table.skipped, 0);
    ASSERT_EQ(table.users.size(), 7u);
    const struct { const char* name; AuthProtocol auth; PrivProtocol priv; SecurityLevel level; } kExpected[] = {
        {"ups-md5", AuthProtocol::Md5, PrivProtocol::None, SecurityLevel::AuthNoPriv},
        {"ups-sha", AuthProtocol::Sha1, PrivProtocol::Aes128, SecurityLevel::AuthPriv},
        {"ups-sha256", AuthProtocol::Sha256, PrivProtocol::Aes128, SecurityLevel::AuthPriv},
        {"ups-sha224", AuthProtocol::Sha224, PrivProtocol::Aes128, SecurityLevel::AuthPriv},
        {"ups-sha384", AuthProtocol::Sha384, PrivProtocol::Aes128, SecurityLevel::AuthPriv},
        {"ups-sha512", AuthProtocol::Sha512, PrivProtocol::Aes128, SecurityLevel::AuthPriv},
        {"ups-plain", AuthProtocol::None, PrivProtocol::None, SecurityLevel::NoAuthNoPriv},
    };
    for (size_t i = 0; i < 7; ++i) {
        const UsmUser& user = table.users[i];
        EXPECT_EQ(user.name, kExpected[i].name);
        EXPECT_EQ(user.auth, kExpected[i].auth) << i;
        EXPECT_EQ(user.priv, kExpected[i].priv) << i;
        EXPECT_EQ(user.Level(), kExpected[i].level) << i;
    }
    EXPECT_EQ(ToHex(table.users[1].authKu, 20), "1584901daad7f138e411ab4c06bf1bb7157fd117");
    EXPECT_EQ(ToHex(table.users[1].privKu, 20), "bc0857826824e74092db24c985944909e6a56fab");
    EXPECT_EQ(ToHex(table.users[5].privKu, 64).substr(124), "e000");
    // SHA-224 is kept either way, usable only where the platform has it.
    EXPECT_EQ(table.users[3].supported, TestCrypto().Supports(HashAlgorithm::Sha224));
    EXPECT_TRUE(table.users[1].supported);
    EXPECT_TRUE(table.users[6].supported);
}

TEST(UsmUsers, SpellingsThatParse) {
    UsmUser user;
    ASSERT_TRUE(ParseUsmUser(" ups-a , sha-256 , 3A5326632A9E86CDA602A3B57E6798B6BC9644A3D539B4521B41D09D162CDCFA , aes , "
                             "ee67c936aaf702b419d8e3b1bd6cc4ae98e565b37d7a1e407e45e2925a3d26b5 ",
                             user));
    EXPECT_EQ(user.name, "ups-a");
    EXPECT_EQ(user.auth, AuthProtocol::Sha256);
    EXPECT_EQ(user.authKu[0], 0x3A);
    EXPECT_EQ(user.privKu[31], 0xB5);
    ASSERT_TRUE(ParseUsmUser("a name with spaces,none,,NONE,", user));
    EXPECT_EQ(user.name, "a name with spaces");
    EXPECT_EQ(user.Level(), SecurityLevel::NoAuthNoPriv);
    ASSERT_TRUE(ParseUsmUser(std::string(32, 'n') + ",md5,d8bd3b2ef7f88eef4d35cbeadc63db27,none,", user));
    // DES is recognised and marks the user unsupported.
    ASSERT_TRUE(ParseUsmUser("old,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,DES,d8bd3b2ef7f88eef4d35cbeadc63db27", user));
    EXPECT_EQ(user.priv, PrivProtocol::Des);
    EXPECT_FALSE(user.supported);
}

TEST(UsmUsers, ValuesThatDoNotParse) {
    const std::string md5 = "d8bd3b2ef7f88eef4d35cbeadc63db27";
    const std::string bad[] = {
        "",
        "ups,MD5," + md5 + ",none",                           // four fields
        "ups,MD5," + md5 + ",none,,",                         // six
        ",MD5," + md5 + ",none,",                             // no name
        std::string(33, 'n') + ",MD5," + md5 + ",none,",      // name too long
        "ups,SHA1," + md5 + ",none,",                         // unknown auth
        "ups,MD5," + md5 + ",AES256," + md5,                  // unknown priv
        "ups,MD5," + md5.substr(2) + ",none,",                // key too short
        "ups,SHA," + md5 + ",none,",                          // MD5-long key for SHA
        "ups,MD5," + md5 + "00,none,",                        // too long
        "ups,MD5,d8bd3b2ef7f88eef4d35cbeadc63db2g,none,",     // not hex
        "ups,MD5,,none,",                                     // auth without key
        "ups,MD5," + md5 + ",AES,",                           // priv without key
        "ups,MD5," + md5 + ",none," + md5,                    // key without priv
        "ups,none," + md5 + ",none,",                         // key without auth
        "ups,none,,AES," + md5,                               // privacy without authentication
        "ups,none,,none,,",
    };
    for (const std::string& value : bad) {
        UsmUser user;
        user.name = "untouched";
        EXPECT_FALSE(ParseUsmUser(value, user)) << value;
        EXPECT_EQ(user.name, "untouched");
    }
}

TEST(UsmUsers, TheListRunsFromUser1UntilAKeyIsMissing) {
    MapProfileReader profile;
    profile.Set("usKarn_v3", "user1", kShaUser);
    profile.Set("usKarn_v3", "user2", "broken");
    profile.Set("usKarn_v3", "user3", "");                  // present but empty: skipped, not the end
    profile.Set("usKarn_v3", "user4", kMd5User);
    profile.Set("usKarn_v3", "user5", "ups-sha,none,,none,");  // a name already taken
    profile.Set("usKarn_v3", "user6", std::string(600, 'x'));  // longer than any entry: cut, refused
    profile.Set("usKarn_v3", "user7", kPlainUser);
    profile.Set("usKarn_v3", "user9", kSha256User);            // after the gap: not read
    const UsmUserTable table = ReadUsmUsers(profile, TestCrypto());
    ASSERT_EQ(table.users.size(), 3u);
    EXPECT_EQ(table.users[0].name, "ups-sha");
    EXPECT_EQ(table.users[1].name, "ups-md5");
    EXPECT_EQ(table.users[2].name, "ups-plain");
    EXPECT_EQ(table.skipped, 4);
    EXPECT_EQ(table.Find(reinterpret_cast<const uint8_t*>("ups-md5"), 7), &table.users[1]);
    EXPECT_EQ(table.Find(reinterpret_cast<const uint8_t*>("UPS-MD5"), 7), nullptr);  // names are exact
    EXPECT_EQ(table.Find(reinterpret_cast<const uint8_t*>("ups-md"), 6), nullptr);

    MapProfileReader empty;
    const UsmUserTable none = ReadUsmUsers(empty, TestCrypto());
    EXPECT_TRUE(none.users.empty());
    EXPECT_EQ(none.skipped, 0);
}
