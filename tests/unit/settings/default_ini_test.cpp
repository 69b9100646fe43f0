// The Dovrel.ini that the installer ships: trap section at its defaults and a
// complete message catalogue in both languages, the Japanese one in Shift-JIS.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

using Section = std::map<std::string, std::string>;  // key -> value, keys folded to lower case

std::string DefaultIniPath() { return std::string(DOVREL_TEST_DATA) + "/../../installer/Dovrel.ini"; }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Lines of the file as the private-profile reader sees them: [section],
// key=value, and ';' comments, which are skipped.
std::map<std::string, Section> ParseIni(const std::string& text, std::vector<std::string>& duplicates) {
    std::map<std::string, Section> sections;
    std::string current;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            current = Lower(line.substr(1, line.find(']') - 1));
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Lower(line.substr(0, eq));
        if (sections[current].count(key)) duplicates.push_back(current + "/" + key);
        sections[current][key] = line.substr(eq + 1);
    }
    return sections;
}

// Every message number the alert pass can look up after adjustment.
std::vector<int> ReachableKeys() {
    std::vector<int> keys;
    for (int k = 1; k <= 6; ++k) keys.push_back(k);
    for (int k = 12; k <= 59; ++k)
        if (k != 15) keys.push_back(k);
    for (int k : {110, 111, 113, 115, 116, 117, 120, 121, 123, 125, 126, 127, 130}) keys.push_back(k);
    return keys;
}

// Strict Shift-JIS (code page 932): single bytes 00-7F and A1-DF, or a lead
// byte 81-9F / E0-FC followed by a trail byte 40-7E / 80-FC.
bool IsShiftJis(const std::string& s, std::size_t& badAt) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 >= s.size()) { badAt = i; return false; }
        unsigned char t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) { badAt = i; return false; }
    }
    return true;
}

// Decodes with the platform's own code page 932 converter; false on any
// byte sequence it rejects. Returns the number of UTF-16/UTF-8 units made.
bool DecodesAsCp932(const std::string& s, std::size_t& units, std::string* utf8 = nullptr) {
#ifdef _WIN32
    int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    units = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n > 0 || s.empty();
#else
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = s;
    std::vector<char> out(s.size() * 4 + 4);
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    units = out.size() - outLeft;
    if (utf8) utf8->assign(out.data(), units);
    return rc != static_cast<size_t>(-1) && inLeft == 0;
#endif
}

class DefaultIni : public ::testing::Test {
protected:
    void SetUp() override {
        text_ = ReadAll(DefaultIniPath());
        ASSERT_FALSE(text_.empty()) << "cannot read " << DefaultIniPath();
        sections_ = ParseIni(text_, duplicates_);
    }
    std::string text_;
    std::vector<std::string> duplicates_;
    std::map<std::string, Section> sections_;
};

}  // namespace

TEST_F(DefaultIni, TrapSectionHoldsTheDefaults) {
    const Section& trap = sections_["uskarn_trap"];
    EXPECT_EQ(trap.at("lang"), "Japanese");
    EXPECT_EQ(trap.at("port"), "162");
    EXPECT_EQ(trap.at("rectimeout"), "5");
    EXPECT_EQ(trap.at("trapcommunity"), "vandor");
    EXPECT_EQ(trap.at("target"), "alls");
    EXPECT_EQ(trap.at("prohibition"), "none");
    EXPECT_EQ(trap.at("acceptv2c"), "1");
    EXPECT_TRUE(duplicates_.empty()) << duplicates_.front();
}

TEST_F(DefaultIni, EveryTrapKeyIsExplainedByAComment) {
    std::istringstream in(text_);
    std::string line, previous;
    std::set<std::string> explained;
    bool inTrap = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') inTrap = Lower(line) == "[uskarn_trap]";
        else if (inTrap && line.find('=') != std::string::npos && line[0] != ';') {
            std::string key = line.substr(0, line.find('='));
            // The comment block right above a key starts with the key's name.
            if (previous.rfind(";", 0) == 0) explained.insert(key);
        }
        if (!line.empty() && line[0] == ';' && line.find(':') != std::string::npos) previous = line;
        else if (!line.empty() && line[0] != ';') previous.clear();
    }
    for (const char* key : {"Lang", "port", "recTimeout", "trapCommunity", "target", "prohibition", "acceptV2c"})
        EXPECT_TRUE(explained.count(key)) << key << " has no comment above it";
}

TEST_F(DefaultIni, BothCataloguesHaveEveryReachableKeyWithColourAndText) {
    for (const char* name : {"uskarn_msgeng", "uskarn_msgjp"}) {
        ASSERT_TRUE(sections_.count(name)) << name;
        const Section& catalogue = sections_[name];
        for (int key : ReachableKeys()) {
            auto it = catalogue.find(std::to_string(key));
            if (it == catalogue.end()) {
                ADD_FAILURE() << name << " lacks key " << key;
                continue;
            }
            const std::string& v = it->second;
            std::size_t comma = v.find(',');
            ASSERT_NE(comma, std::string::npos) << name << "/" << key;
            std::string colour = v.substr(0, comma);
            std::string text = v.substr(comma + 1);
            EXPECT_TRUE(colour == "red" || colour == "orange" || colour == "green") << name << "/" << key << ": " << v;
            EXPECT_NE(text.find_first_not_of(' '), std::string::npos) << name << "/" << key << " has no text";
            EXPECT_LT(v.size(), 1024u) << "longer than the 1023 bytes the monitor reads";
            // Outlet texts follow "Outlet:N[name]" directly.
            if (key >= 120 && key <= 139) {
                EXPECT_EQ(text[0], ' ') << name << "/" << key;
            }
        }
        EXPECT_EQ(catalogue.count("15"), 0u) << "15 is always shown under key 4";
    }
}

TEST_F(DefaultIni, ColoursFollowWhatEachMessageMeans) {
    for (const char* name : {"uskarn_msgeng", "uskarn_msgjp"}) {
        const Section& c = sections_[name];
        auto colour = [&](int key) { return c.at(std::to_string(key)).substr(0, c.at(std::to_string(key)).find(',')); };
        EXPECT_EQ(colour(3), "red") << "on battery";
        EXPECT_EQ(colour(4), "green") << "on-battery alarm removed";
        // The removal of shutdown pending (55) or imminent (57) also follows
        // a shutdown that took place: never green.
        for (int cleared = 13; cleared <= 59; cleared += 2)
            if (cleared != 15) {
                EXPECT_EQ(colour(cleared), cleared == 55 || cleared == 57 ? "orange" : "green")
                    << name << "/" << cleared;
            }
        // Batteries, output or whole UPS off, awaiting power, shutdown.
        for (int urgent : {12, 14, 16, 18, 32, 34, 38, 40, 52, 54, 56})
            EXPECT_EQ(colour(urgent), "red") << name << "/" << urgent;
        // The device codes have no published meaning: no alarm colour.
        for (int key : ReachableKeys())
            if (key >= 110) {
                EXPECT_EQ(colour(key), "orange") << name << "/" << key;
            }
        // Both languages give every key the same colour.
        for (int key : ReachableKeys())
            EXPECT_EQ(colour(key), sections_["uskarn_msgeng"].at(std::to_string(key)).substr(
                                       0, sections_["uskarn_msgeng"].at(std::to_string(key)).find(',')))
                << key;
    }
}

TEST_F(DefaultIni, JapaneseCatalogueIsShiftJisAndEnglishIsAscii) {
    std::size_t badAt = 0;
    EXPECT_TRUE(IsShiftJis(text_, badAt)) << "byte " << badAt << " is not Shift-JIS";
    std::size_t units = 0;
    EXPECT_TRUE(DecodesAsCp932(text_, units));
    EXPECT_GT(units, 0u);
    for (int key : ReachableKeys()) {
        const std::string& jp = sections_["uskarn_msgjp"][std::to_string(key)];
        const std::string& en = sections_["uskarn_msgeng"][std::to_string(key)];
        bool hasDoubleByte = false;
        for (unsigned char b : jp) hasDoubleByte |= (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_TRUE(hasDoubleByte) << "Japanese text of " << key << " has no Japanese characters";
        for (unsigned char b : en) {
            EXPECT_LT(b, 0x80) << "English text of " << key;
        }
    }
#ifndef _WIN32
    // The committed file is generated from its readable UTF-8 source
    // (installer/make-ini.sh); the two must not drift apart.
    std::string utf8;
    ASSERT_TRUE(DecodesAsCp932(text_, units, &utf8));
    std::string source = ReadAll(std::string(DOVREL_TEST_DATA) + "/../../installer/Dovrel.ini.utf8");
    std::string crlf;
    for (char c : source) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(utf8, crlf) << "run installer/make-ini.sh";
#endif
    // The UTF-8 text of the file must not have slipped in unconverted.
    EXPECT_EQ(text_.find("\xE3\x83"), std::string::npos);
}
