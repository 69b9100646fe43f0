// Kalbrit.exe driven through its real dialog under Wine: what it shows, what a
// valid save changes in Dovrel.ini, that an invalid field writes nothing, and
// that a file the user may not write is saved through the elevated copy.
// Replies are checked in the language the form is shown in (kalbrit_dialog_ja
// runs with code page 932).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kalbrit/device_list.h"
#include "kalbrit/elevated_save.h"
#include "kalbrit/kalbrit_texts.h"
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

void AppendBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
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

UiLanguage Language() { return ChooseUiLanguage(GetUserDefaultUILanguage(), GetACP()); }
std::string Says(KalbritText text) { return TextOf(text, Language()); }
bool Has(const std::string& reply, KalbritText text) { return reply.find(Says(text)) != std::string::npos; }

// Names of the files in dir, to see that no copy or backup is left behind.
std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
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
        for (const std::string& name : FilesIn(dir_)) {
            std::string file = dir_ + "\\" + name;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
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

    // Types an entry into the entry dialog that button id of the list (the
    // last of open) opens; the list's reply, empty when it took the entry.
    static std::string EnterDevice(KalbritSession& k, std::vector<HWND> open, int id, const std::string& address,
                                   const std::string& name) {
        return EnterEntry(k, std::move(open), id, {{IDC_ENTRY_KEY, address}, {IDC_ENTRY_VALUE, name}});
    }
    static std::string EnterEntry(KalbritSession& k, std::vector<HWND> open, int id,
                                  const std::vector<std::pair<int, std::string>>& fields) {
        HWND entry = k.PressForDialog(open.back(), id, open);
        if (!entry) return "no entry dialog";
        for (const auto& field : fields) SetDlgItemTextA(entry, field.first, field.second.c_str());
        open.push_back(entry);
        PostMessageA(GetDlgItem(entry, IDOK), BM_CLICK, 0, 0);
        for (int i = 0; i < 200; ++i) {
            if (!IsWindow(entry)) return std::string();  // accepted: the entry dialog closed
            if (HWND reply = k.WaitForDialog(open, 50)) {
                std::string text = k.ReadReply(reply);
                PostMessageA(entry, WM_COMMAND, IDCANCEL, 0);
                for (int j = 0; j < 100 && IsWindow(entry); ++j) Sleep(50);
                return text;
            }
        }
        return "the entry dialog neither closed nor answered";
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
    EXPECT_TRUE(Has(reply, KalbritText::Saved)) << reply;
    EXPECT_TRUE(Has(reply, KalbritText::TakesEffect)) << reply;
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"Dovrel.ini"}) << "the copy written first is gone";

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

// The two switches on the form: a file of an earlier version, which has
// neither key, shows both off and stays byte for byte when saved as it is;
// turning them on adds their two lines and nothing else; they read back.
TEST_F(KalbritDialog, SwitchesRoundTripThroughTheFileAndAddOnlyTheirLines) {
    std::string older = original_;
    for (const std::string line : {"\nacceptV2c=1\r\n", "\nmergeRepeats=1\r\n"}) {
        const std::size_t at = older.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        older.erase(at + 1, line.size() - 1);
    }
    WriteBytes(path_, older);
    {
        KalbritSession k(KALBRIT_EXE, Quoted());
        ASSERT_NE(k.Dialog(), nullptr);
        EXPECT_FALSE(k.Checked(IDC_ACCEPT_V2C));
        EXPECT_FALSE(k.Checked(IDC_MERGE_REPEATS));
        k.SaveAndReadReply();
        EXPECT_TRUE(ReadBytes(path_) == older) << "an unchanged save must not add the switches";

        k.Click(IDC_ACCEPT_V2C);
        k.Click(IDC_MERGE_REPEATS);
        const std::string reply = k.SaveAndReadReply();
        EXPECT_TRUE(Has(reply, KalbritText::Saved)) << reply;
        std::string expected = older;
        // After the section's last key line, prohibition's.
        expected.insert(expected.find("prohibition=none\r\n") + 18, "acceptV2c=1\r\nmergeRepeats=1\r\n");
        EXPECT_TRUE(ReadBytes(path_) == expected) << ReadBytes(path_).substr(0, 1500);
        EXPECT_EQ(k.Close(), 0u);
    }
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    EXPECT_TRUE(k.Checked(IDC_ACCEPT_V2C));
    EXPECT_TRUE(k.Checked(IDC_MERGE_REPEATS));
    k.Click(IDC_MERGE_REPEATS);
    k.SaveAndReadReply();
    const std::string saved = ReadBytes(path_);
    EXPECT_NE(saved.find("\nacceptV2c=1\r\nmergeRepeats=0\r\n"), std::string::npos);
    EXPECT_EQ(saved.size(), older.size() + 29);
    EXPECT_EQ(k.Close(), 0u);
}

TEST_F(KalbritDialog, AnInvalidFieldIsNamedAndNothingIsWritten) {
    const std::string longCommunity(257, 'c');
    struct Case {
        int id;  // the edit to spoil, or a radio button to click
        const char* text;
        TrapField field;  // the field the reply must name
    };
    const Case cases[] = {
        {IDC_PORT, "0", TrapField::Port},
        {IDC_PORT, "65536", TrapField::Port},
        {IDC_PORT, "16a", TrapField::Port},
        {IDC_TIMEOUT, "61", TrapField::Timeout},
        {IDC_TIMEOUT, "0", TrapField::Timeout},
        {IDC_COMMUNITY, "", TrapField::Community},
        {IDC_COMMUNITY, longCommunity.c_str(), TrapField::Community},
        {IDC_TARGET, "127.0.0", TrapField::Target},
        {IDC_TARGET, "127.0.0.256", TrapField::Target},
        {IDC_PROHIBITION, "255.255.255.0.0", TrapField::Prohibition},
        {IDC_TARGET_ALL, nullptr, TrapField::Prohibition},  // a mask without a target blocks every trap
    };
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    for (const Case& c : cases) {
        FillValid(k);
        if (c.text) k.SetText(c.id, c.text);
        else k.Click(c.id);
        std::string reply = k.SaveAndReadReply();
        const std::string named = FieldLabel(c.field, Language());
        EXPECT_EQ(reply.rfind(named + ":", 0), 0u) << "reply: " << reply;
        EXPECT_TRUE(Has(reply, KalbritText::NothingSaved)) << reply;
        EXPECT_TRUE(ReadBytes(path_) == original_) << named << " '" << (c.text ? c.text : "") << "' wrote something";
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
    EXPECT_TRUE(Has(reply, KalbritText::CannotWrite)) << "a missing folder is no case for elevation: " << reply;
    EXPECT_TRUE(Has(reply, KalbritText::NothingSaved)) << reply;
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(k.Close(), 0u);
}

// Japanese Windows (code page 932) gets the Japanese form, any other the English one.
TEST_F(KalbritDialog, TheFormIsInTheSystemsLanguage) {
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    wchar_t caption[128] = {};
    GetWindowTextW(k.Dialog(), caption, 128);
    const std::wstring expected = GetACP() == 932 ? L"Kalbrit - Dovrel \x30c8\x30e9\x30c3\x30d7\x8a2d\x5b9a"
                                                  : L"Kalbrit - Dovrel trap settings";
    EXPECT_TRUE(caption == expected);
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

// The stand-in for the installed file under Program Files: InstallPath (in
// the 64-bit view only) names dir, and its Dovrel.ini is read-only, which the
// unelevated Kalbrit may not replace.
struct ReadOnlyInstall {
    ReadOnlyInstall(const std::string& dir, const std::string& file) {
        view32.Remove();
        view64.Set(dir);
        readOnly = SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
    }
    InstallPathView view64{KEY_WOW64_64KEY}, view32{KEY_WOW64_32KEY};
    bool readOnly = false;
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

namespace {

// Starts Kalbrit as its elevated copy is started (under Wine every process
// counts as elevated) and returns its exit code.
DWORD RunElevatedCopy(const std::string& arguments) {
    std::string line = "\"" + WindowsPath(KALBRIT_EXE) + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

std::string ElevatedLine(const std::string& path) {
    TrapForm form;
    form.port = "16230";
    return ElevatedSaveArguments(path, TrapSettingsFromForm(form));
}

}  // namespace

// Started as the elevated copy with a damaged line, Kalbrit writes nothing
// and says so in its exit code.
TEST_F(KalbritDialog, TheElevatedCopyRefusesADamagedLine) {
    EXPECT_EQ(RunElevatedCopy("/save-elevated 00 Lang=456e676c697368"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(ReadBytes(path_) == original_);
}

// The stand-in for the installed file under Program Files: InstallPath names
// the folder and Dovrel.ini is read-only, which the unelevated Kalbrit may
// not replace. Its elevated copy writes the values; the file stays read-only.
TEST_F(KalbritDialog, InstallPathFileIsSavedThroughTheElevatedCopy) {
    ReadOnlyInstall install(dir_, path_);
    ASSERT_TRUE(install.readOnly);
    KalbritSession k(KALBRIT_EXE, "");
    ASSERT_NE(k.Dialog(), nullptr);
    FillValid(k);
    const std::string community = "a \"b\" \\c=d \x8c\xf6";  // quotes, blanks, '=' and a double-byte character
    k.SetText(IDC_COMMUNITY, community);
    std::string reply = k.SaveAndReadReply();
    EXPECT_TRUE(Has(reply, KalbritText::SavedAsAdministrator)) << reply;

    std::string saved = ReadBytes(path_);
    EXPECT_TRUE(Catalogues(saved) == Catalogues(original_)) << "catalogue sections must stay byte for byte";
    for (const std::string& line : std::vector<std::string>{"Lang=English", "port=16210", "recTimeout=7",
                                                            "trapCommunity=" + community, "target=127.0.0.1",
                                                            "prohibition=255.0.0.0"})
        EXPECT_NE(saved.find("\n" + line + "\r\n"), std::string::npos) << line;
    EXPECT_EQ(Lines(saved).size(), Lines(original_).size());
    EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_READONLY) << "the file keeps its attributes";
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"Dovrel.ini"}) << "no copy or backup is left";
    EXPECT_EQ(k.Close(), 0u);
}

// The elevated copy fails half-way: the file is held open by another program
// that does not let it be replaced. The file stays as it was, read-only,
// and the first Kalbrit says that nothing was saved.
TEST_F(KalbritDialog, InstallPathFileAFailedElevatedSaveChangesNothingAndIsReported) {
    ReadOnlyInstall install(dir_, path_);
    ASSERT_TRUE(install.readOnly);
    HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    KalbritSession k(KALBRIT_EXE, "");
    ASSERT_NE(k.Dialog(), nullptr);
    FillValid(k);
    std::string reply = k.SaveAndReadReply();
    CloseHandle(held);
    EXPECT_TRUE(Has(reply, KalbritText::FailedAsAdministrator)) << reply;
    EXPECT_TRUE(Has(reply, KalbritText::NothingSaved)) << reply;
    EXPECT_TRUE(ReadBytes(path_) == original_) << "a failed save leaves every byte";
    EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"Dovrel.ini"}) << "no copy or backup is left";
    EXPECT_EQ(k.Close(), 0u);
}

// Any program may start the elevated copy with any path, and the user may
// approve the prompt: it writes the installed Dovrel.ini and nothing else. A
// file in the Windows temp folder is refused untouched; the installed file
// reached through "..\" and in another case is the same file.
TEST_F(KalbritDialog, InstallPathTheElevatedCopyWritesOnlyTheInstalledFile) {
    InstallPathView view64(KEY_WOW64_64KEY), view32(KEY_WOW64_32KEY);
    view32.Remove();
    view64.Set(dir_);
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string elsewhere =
        std::string(windows) + "\\Temp\\dovrel-elevated-" + std::to_string(GetCurrentProcessId()) + ".cmd";
    const std::string planted = "@echo planted\r\n";
    WriteBytes(elsewhere, planted);
    EXPECT_EQ(RunElevatedCopy(ElevatedLine(elsewhere)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(ReadBytes(elsewhere) == planted) << "a file that is not Dovrel's own was changed";
    DeleteFileA(elsewhere.c_str());
    EXPECT_TRUE(ReadBytes(path_) == original_);

    CreateDirectoryA((dir_ + "\\sub").c_str(), nullptr);
    EXPECT_EQ(RunElevatedCopy(ElevatedLine(dir_ + "\\sub\\..\\DOVREL.INI")), 0u);
    EXPECT_NE(ReadBytes(path_).find("\nport=16230\r\n"), std::string::npos) << "the installed file was not saved";
    RemoveDirectoryA((dir_ + "\\sub").c_str());
}

// The installed file, read-only as under Program Files: the Devices list is
// saved through the elevated copy, which writes the names section alone.
TEST_F(KalbritDialog, InstallPathDevicesAreSavedThroughTheElevatedCopy) {
    ReadOnlyInstall install(dir_, path_);
    ASSERT_TRUE(install.readOnly);
    KalbritSession k(KALBRIT_EXE, "");
    ASSERT_NE(k.Dialog(), nullptr);
    HWND list = k.PressForDialog(k.Dialog(), IDC_DEVICES, {k.Dialog()});
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(EnterDevice(k, {k.Dialog(), list}, IDC_LIST_ADD, "192.0.2.10", "Server room UPS"), "");
    const std::string reply = k.ReadReply(k.PressForDialog(list, IDOK, {k.Dialog(), list}));
    EXPECT_TRUE(Has(reply, KalbritText::DevicesSavedAsAdministrator)) << reply;
    EXPECT_TRUE(ReadBytes(path_) == original_ + "[usKarn_names]\r\n192.0.2.10=Server room UPS\r\n");
    EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_READONLY) << "the file keeps its attributes";
    EXPECT_EQ(k.Close(), 0u);
}

// The SNMPv3 users list through the elevated copy: the passphrases typed
// become RFC 3414's known master keys ("maplesyrup", SHA-1) by CNG, and only
// the keys reach the file.
TEST_F(KalbritDialog, InstallPathV3UsersAreSavedThroughTheElevatedCopy) {
    ReadOnlyInstall install(dir_, path_);
    ASSERT_TRUE(install.readOnly);
    KalbritSession k(KALBRIT_EXE, "");
    ASSERT_NE(k.Dialog(), nullptr);
    HWND list = k.PressForDialog(k.Dialog(), IDC_V3_USERS, {k.Dialog()});
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(EnterEntry(k, {k.Dialog(), list}, IDC_LIST_ADD,
                         {{IDC_ENTRY_KEY, "ups-admin"}, {IDC_ENTRY_AUTH_PASS, "maplesyrup"},
                          {IDC_ENTRY_AUTH_AGAIN, "maplesyrup"}, {IDC_ENTRY_PRIV_PASS, "maplesyrup"},
                          {IDC_ENTRY_PRIV_AGAIN, "maplesyrup"}}),
              "");
    const std::string reply = k.ReadReply(k.PressForDialog(list, IDOK, {k.Dialog(), list}));
    EXPECT_TRUE(Has(reply, KalbritText::UsersSavedAsAdministrator)) << reply;
    const std::string ku = "9fb5cc0381497b3793528939ff788d5d79145211";
    EXPECT_EQ(ReadBytes(path_), original_ + "[usKarn_v3]\r\nuser1=ups-admin,SHA," + ku + ",AES," + ku + "\r\n");
    EXPECT_EQ(k.Close(), 0u);
}

// A file given with /ini that the user may not write (read-only here) is no
// case for elevation: only Dovrel's own file is ever saved as administrator.
TEST_F(KalbritDialog, AnIniFileTheUserMayNotWriteGetsThePlainAccessDeniedMessage) {
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    FillValid(k);
    std::string reply = k.SaveAndReadReply();
    EXPECT_TRUE(Has(reply, KalbritText::CannotWrite)) << reply;
    EXPECT_FALSE(Has(reply, KalbritText::SavedAsAdministrator)) << reply;
    EXPECT_TRUE(ReadBytes(path_) == original_);
    EXPECT_EQ(k.Close(), 0u);
}

// asInvoker in both programs: Dovrel starts Kalbrit with CreateProcessA,
// which cannot start a program that demands elevation; Common Controls 6
// (visual styles) in Kalbrit only.
TEST_F(KalbritDialog, HistoryViewListsTheNewestAlertsOfBothFilesNewestFirst) {
    char base[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base)));
    const std::string folder = std::string(base) + "\\Dovrel";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string newer = folder + "\\history.csv", older = folder + "\\history.1.csv";
    const std::string keptNewer = ReadBytes(newer), keptOlder = ReadBytes(older);
    const std::string head = "\xEF\xBB\xBFtime,sender,message number,specific-trap code,colour,text\r\n";
    WriteBytes(older, head + "2026-12-07T16:30:01+09:00,192.0.2.1,1,1,red,first\r\n");
    WriteBytes(newer, head + "2026-12-07T16:30:02+09:00,192.0.2.2,4,4,green,\"second, cleared\"\r\n" +
                          "2026-12-07T16:30:03+09:00,192.0.2.3,125,4,orange,Outlet:1[none]\xE8\xA9\xA6\xE9\xA8\x93\r\n");

    KalbritSession k(KALBRIT_EXE, Quoted());
    HWND history = k.OpenHistory();
    ASSERT_NE(history, nullptr) << "History... opened no dialog";
    HWND list = GetDlgItem(history, IDC_HISTORY_LIST);
    EXPECT_EQ(k.ListColumn(list, 0), (std::vector<std::string>{"2026-12-07T16:30:03+09:00", "2026-12-07T16:30:02+09:00",
                                                               "2026-12-07T16:30:01+09:00"}));
    EXPECT_EQ(k.ListColumn(list, 1), (std::vector<std::string>{"192.0.2.3", "192.0.2.2", "192.0.2.1"}));
    EXPECT_EQ(k.ListColumn(list, 2),
              (std::vector<std::string>{"Outlet:1[none]\xE8\xA9\xA6\xE9\xA8\x93", "second, cleared", "first"}));

    // Refresh picks up a record appended while the view is open.
    AppendBytes(newer, "2026-12-07T16:30:04+09:00,192.0.2.4,1,1,red,fourth\r\n");
    SendMessageA(GetDlgItem(history, IDC_HISTORY_REFRESH), BM_CLICK, 0, 0);
    const auto texts = k.ListColumn(list, 2);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "fourth");

    PostMessageA(history, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && IsWindow(history); ++i) Sleep(50);
    EXPECT_EQ(k.Close(), 0u);
    keptNewer.empty() ? (void)DeleteFileA(newer.c_str()) : WriteBytes(newer, keptNewer);
    keptOlder.empty() ? (void)DeleteFileA(older.c_str()) : WriteBytes(older, keptOlder);
}

// The Devices list: entries added, changed and removed in the dialog, a bad
// address refused where it is typed, and the save writing [usKarn_names]
// alone: every byte of the file before it stays. Opened again, the list shows
// what was saved, and removing the last but one entry writes only that.
TEST_F(KalbritDialog, DevicesListAddChangeRemoveRoundTrip) {
    KalbritSession k(KALBRIT_EXE, Quoted());
    ASSERT_NE(k.Dialog(), nullptr);
    const HWND main = k.Dialog();
    auto enter = [&](HWND list, int id, const std::string& address, const std::string& name) {
        return EnterDevice(k, {main, list}, id, address, name);
    };
    const DeviceListRules rules;
    const std::string ups = "Server room UPS", pdu = "Rack 4 \x83\x6f\x83\x62 PDU";  // a double-byte name

    HWND list = k.PressForDialog(main, IDC_DEVICES, {main});
    ASSERT_NE(list, nullptr) << "Devices... opened no dialog";
    HWND view = GetDlgItem(list, IDC_LIST);
    EXPECT_TRUE(k.ListColumn(view, 0).empty());
    EXPECT_EQ(enter(list, IDC_LIST_ADD, "192.0.2.10", ups), "");
    EXPECT_EQ(enter(list, IDC_LIST_ADD, "192.0.2.11", "Old PDU"), "");
    EXPECT_EQ(enter(list, IDC_LIST_ADD, "192.0.2.12", "PDU"), "");
    const std::string refused = enter(list, IDC_LIST_ADD, "192.0.2.010", "x");
    EXPECT_NE(refused.find(rules.ProblemText(ListProblem::KeyInvalid, Language())), std::string::npos) << refused;
    EXPECT_NE(enter(list, IDC_LIST_ADD, "192.0.2.10", "twice"), "") << "an address named twice";
    k.SelectRow(view, 2);
    EXPECT_EQ(enter(list, IDC_LIST_CHANGE, "192.0.2.12", pdu), "");
    k.SelectRow(view, 1);
    PostMessageA(GetDlgItem(list, IDC_LIST_REMOVE), BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && k.ListColumn(view, 0).size() != 2; ++i) Sleep(50);
    EXPECT_EQ(k.ListColumn(view, 0), (std::vector<std::string>{"192.0.2.10", "192.0.2.12"}));

    std::string reply = k.ReadReply(k.PressForDialog(list, IDOK, {main, list}));
    EXPECT_TRUE(Has(reply, KalbritText::DevicesSaved)) << reply;
    for (int i = 0; i < 100 && IsWindow(list); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(list)) << "the list closes once saved";
    EXPECT_TRUE(ReadBytes(path_) == original_ + "[usKarn_names]\r\n192.0.2.10=" + ups + "\r\n192.0.2.12=" + pdu + "\r\n");
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"Dovrel.ini"}) << "the copy written first is gone";

    list = k.PressForDialog(main, IDC_DEVICES, {main});
    ASSERT_NE(list, nullptr);
    view = GetDlgItem(list, IDC_LIST);
    EXPECT_EQ(k.ListColumn(view, 0), (std::vector<std::string>{"192.0.2.10", "192.0.2.12"}));
    k.SelectRow(view, 0);
    PostMessageA(GetDlgItem(list, IDC_LIST_REMOVE), BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && k.ListColumn(view, 0).size() != 1; ++i) Sleep(50);
    reply = k.ReadReply(k.PressForDialog(list, IDOK, {main, list}));
    EXPECT_TRUE(Has(reply, KalbritText::DevicesSaved)) << reply;
    EXPECT_TRUE(ReadBytes(path_) == original_ + "[usKarn_names]\r\n192.0.2.12=" + pdu + "\r\n");
    EXPECT_EQ(k.Close(), 0u);
}

TEST(KalbritManifests, BothProgramsCarryAnAsInvokerManifest) {
    for (const char* program : {KALBRIT_EXE, DOVREL_EXE}) {
        HMODULE module = LoadLibraryExA(WindowsPath(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << program;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        ASSERT_NE(found, nullptr) << program << " has no manifest resource 1";
        const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
        const std::string manifest(text, SizeofResource(module, found));
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << program;
        EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << program;
        const bool kalbrit = std::string(program) == KALBRIT_EXE;
        EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos, kalbrit) << program;
        FreeLibrary(module);
    }
}
