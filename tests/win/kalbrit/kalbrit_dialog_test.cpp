// Kalbrit.exe driven through its real dialog under Wine: what it shows, what a
// valid save changes in Dovrel.ini, and that an invalid field writes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kalbrit/resource.h"
#include "kalbrit_driver.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Everything from the first catalogue section to the end of the file.
std::string Catalogues(const std::string& bytes) {
    std::size_t at = bytes.find("\n[usKarn_msgEng]");
    return at == std::string::npos ? std::string() : bytes.substr(at);
}

std::string TempDir() {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "kalbrit_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

class KalbritDialog : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = ReadBytes(WindowsPath(DEFAULT_INI));
        ASSERT_FALSE(original_.empty());
        dir_ = TempDir();
        path_ = dir_ + "\\Dovrel.ini";
        WriteBytes(path_, original_);
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string Quoted() const { return "/ini \"" + path_ + "\""; }

    // All fields valid and distinct from the file's defaults.
    static void FillValid(KalbritSession& k) {
        k.Click(IDC_LANG_ENGLISH);
        k.SetText(IDC_PORT, "16210");
        k.SetText(IDC_TIMEOUT, "7");
        k.SetText(IDC_COMMUNITY, "public2");
        k.Click(IDC_TARGET_ONE);
        k.SetText(IDC_TARGET, "127.0.0.1");
        k.Click(IDC_PROHIBIT_MASK);
        k.SetText(IDC_PROHIBITION, "255.0.0.0");
    }

    std::string original_, dir_, path_;
};

}  // namespace

TEST_F(KalbritDialog, StartedHiddenItShowsTheFilesTrapSettings) {
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    EXPECT_TRUE(IsWindowVisible(k.Dialog())) << "SW_HIDE from the Setting command must not hide the dialog";
    EXPECT_EQ(k.Text(IDC_FILE_PATH), path_);
    EXPECT_TRUE(k.Checked(IDC_LANG_JAPANESE));
    EXPECT_FALSE(k.Checked(IDC_LANG_ENGLISH));
    EXPECT_EQ(k.Text(IDC_PORT), "162");
    EXPECT_EQ(k.Text(IDC_TIMEOUT), "5");
    EXPECT_EQ(k.Text(IDC_COMMUNITY), "vandor");
    EXPECT_TRUE(k.Checked(IDC_TARGET_ALL));
    EXPECT_TRUE(k.Checked(IDC_PROHIBIT_NONE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(k.Dialog(), IDC_TARGET))) << "target edit is off with all senders";
    k.Click(IDC_TARGET_ONE);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(k.Dialog(), IDC_TARGET)));
    EXPECT_EQ(k.Close(), 0u);
    EXPECT_TRUE(ReadBytes(path_) == original_) << "closing without saving changes nothing";
}

TEST_F(KalbritDialog, ValidSaveChangesOnlyTheTrapKeys) {
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    FillValid(k);
    std::string reply = k.SaveAndReadReply();
    EXPECT_NE(reply.find("take effect when Dovrel is started again"), std::string::npos) << reply;

    std::string saved = ReadBytes(path_);
    EXPECT_TRUE(Catalogues(saved) == Catalogues(original_)) << "catalogue sections must stay byte for byte";
    EXPECT_FALSE(Catalogues(saved).empty());
    std::vector<std::string> before = Lines(original_), after = Lines(saved);
    ASSERT_EQ(after.size(), before.size());
    const std::vector<std::string> expected = {"Lang=English\r", "port=16210\r", "recTimeout=7\r",
                                               "trapCommunity=public2\r", "target=127.0.0.1\r",
                                               "prohibition=255.0.0.0\r"};
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) changed.push_back(after[i]);
    EXPECT_EQ(changed, expected);

    // Back to all senders and no mask: the keywords the monitor knows.
    k.Click(IDC_TARGET_ALL);
    k.Click(IDC_PROHIBIT_NONE);
    k.Click(IDC_LANG_JAPANESE);
    reply = k.SaveAndReadReply();
    saved = ReadBytes(path_);
    EXPECT_NE(saved.find("\ntarget=alls\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\nprohibition=none\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\nLang=Japanese\r\n"), std::string::npos);
    EXPECT_TRUE(Catalogues(saved) == Catalogues(original_));
    EXPECT_EQ(k.Close(), 0u);
}

TEST_F(KalbritDialog, AnInvalidFieldIsNamedAndNothingIsWritten) {
    const std::string longCommunity(257, 'c');
    struct Case {
        int id;  // the edit to spoil, or a radio button to click
        const char* text;
        const char* named;
    };
    const Case cases[] = {
        {IDC_PORT, "0", "Port"},
        {IDC_PORT, "65536", "Port"},
        {IDC_PORT, "16a", "Port"},
        {IDC_TIMEOUT, "61", "Receive timeout"},
        {IDC_TIMEOUT, "0", "Receive timeout"},
        {IDC_COMMUNITY, "", "Community"},
        {IDC_COMMUNITY, longCommunity.c_str(), "Community"},
        {IDC_TARGET, "127.0.0", "Target"},
        {IDC_TARGET, "127.0.0.256", "Target"},
        {IDC_PROHIBITION, "255.255.255.0.0", "Prohibition mask"},
        {IDC_TARGET_ALL, nullptr, "Prohibition mask"},  // a mask without a target blocks every trap
    };
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    for (const Case& c : cases) {
        FillValid(k);
        if (c.text) k.SetText(c.id, c.text);
        else k.Click(c.id);
        std::string reply = k.SaveAndReadReply();
        EXPECT_EQ(reply.rfind(std::string(c.named) + ":", 0), 0u) << "reply: " << reply;
        EXPECT_NE(reply.find("Nothing has been saved"), std::string::npos) << reply;
        EXPECT_TRUE(ReadBytes(path_) == original_) << c.named << " '" << (c.text ? c.text : "") << "' wrote something";
    }
    EXPECT_EQ(k.Close(), 0u);
}

TEST_F(KalbritDialog, MultibyteCommunityIsWrittenAsTyped) {
    const std::string community = "\x8c\xf6\x8a\x4a";  // two Shift-JIS characters
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    k.SetText(IDC_COMMUNITY, community);
    k.SaveAndReadReply();
    std::string saved = ReadBytes(path_);
    EXPECT_NE(saved.find("\ntrapCommunity=" + community + "\r\n"), std::string::npos);
    EXPECT_TRUE(Catalogues(saved) == Catalogues(original_));
    EXPECT_EQ(k.Close(), 0u);
}

TEST_F(KalbritDialog, UnwritableFileIsReportedAndNothingIsCreated) {
    const std::string missing = dir_ + "\\no such folder\\Dovrel.ini";
    KalbritSession k(KALBRIT_EXE, "/ini \"" + missing + "\"");
    ASSERT_NE(k.Dialog(), nullptr);
    EXPECT_EQ(k.Text(IDC_PORT), "162") << "a missing file shows the defaults";
    FillValid(k);
    std::string reply = k.SaveAndReadReply();
    EXPECT_NE(reply.find("cannot be written"), std::string::npos) << reply;
    EXPECT_NE(reply.find("Nothing has been saved"), std::string::npos) << reply;
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(k.Close(), 0u);
}

// Without the switch Kalbrit edits the installed file named by InstallPath,
// in whichever registry view the value is (a 32-bit Kalbrit on 64-bit
// Windows sees the 32-bit view by default), and stray command-line text,
// such as the rest of a path split at a space, is not taken for a file.
class InstallPathView {
public:
    explicit InstallPathView(REGSAM view) : view_(view) {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key_, nullptr);
        DWORD size = MAX_PATH;
        had_ = RegQueryValueExA(key_, "InstallPath", nullptr, nullptr, reinterpret_cast<BYTE*>(old_), &size) ==
               ERROR_SUCCESS;
        oldSize_ = size;
    }
    ~InstallPathView() {
        if (had_) RegSetValueExA(key_, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_), oldSize_);
        else RegDeleteValueA(key_, "InstallPath");
        RegCloseKey(key_);
    }
    void Set(const std::string& value) const {
        RegSetValueExA(key_, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    void Remove() const { RegDeleteValueA(key_, "InstallPath"); }

private:
    static constexpr const char* kKey = "Software\\Orvanta\\Quillmont\\CurrentVersion";
    REGSAM view_;
    HKEY key_ = nullptr;
    char old_[MAX_PATH + 1] = {};
    DWORD oldSize_ = 0;
    bool had_ = false;
};

TEST_F(KalbritDialog, InstallPathInEitherViewNamesTheFileToEdit) {
    InstallPathView view64(KEY_WOW64_64KEY), view32(KEY_WOW64_32KEY);
    const struct {
        const InstallPathView& holder;
        const InstallPathView& other;
        const char* port;
    } cases[] = {{view64, view32, "16220"}, {view32, view64, "16221"}};
    for (const auto& c : cases) {
        c.other.Remove();
        c.holder.Set(dir_);
        KalbritSession k(KALBRIT_EXE, "Files\\Dovrel\\Kalbrit.exe");
        if (!k.Dialog()) continue;
        EXPECT_EQ(k.Text(IDC_FILE_PATH), path_);
        k.SetText(IDC_PORT, c.port);
        k.SaveAndReadReply();
        EXPECT_NE(ReadBytes(path_).find(std::string("\nport=") + c.port + "\r\n"), std::string::npos);
        EXPECT_EQ(k.Close(), 0u);
    }
}
