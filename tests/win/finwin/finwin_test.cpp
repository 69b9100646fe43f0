// FinWin from Finwin.dll, loaded as outside programs load it, against real
// top-level windows owned by another process (finwin_target.exe).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "target_process.h"

namespace {

using FinWinFunction = int(__cdecl*)(const char*);

class FinWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Finwin.dll");
        ASSERT_NE(library_, nullptr) << "Finwin.dll not found beside the test";
        finWin_ = reinterpret_cast<FinWinFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "FinWin")));
        ASSERT_NE(finWin_, nullptr);
    }
    void TearDown() override {
        if (library_) FreeLibrary(library_);
    }

    // Calls FinWin, checks its result and returns how long it took in ms.
    ULONGLONG CallFinWin(const char* title) {
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(finWin_(title), 1);
        return GetTickCount64() - start;
    }

    void StartTarget(const std::vector<TargetWindowSpec>& windows) {
        ASSERT_TRUE(target_.Start(windows)) << target_.error();
    }

    std::vector<TargetWindowReport> FinishTarget() {
        std::vector<TargetWindowReport> reports;
        unsigned codePage = 0;
        EXPECT_TRUE(target_.Finish(reports, codePage)) << target_.error();
        EXPECT_EQ(codePage, GetACP()) << "the target runs in another code page";
        return reports;
    }

    // A title no other test or process uses.
    static std::string Unique(const std::string& text) {
        return text + " " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial_);
    }

    HMODULE library_ = nullptr;
    FinWinFunction finWin_ = nullptr;
    TargetProcess target_;
    static inline int serial_ = 0;
};

// ---- Title "Dovrel.exe" (ctest serialises these with any running Dovrel) ----

class FinWinDovrelTitle : public FinWinTest {};

TEST_F(FinWinDovrelTitle, TitleInOtherCaseFindsTheWindowAndReturnsOnceItIsGone) {
    StartTarget({{"Dovrel.exe"}});
    const HWND window = target_.Window(0);
    const ULONGLONG took = CallFinWin("dovrel.exe");
    EXPECT_FALSE(IsWindow(window)) << "FinWin returned before the window had gone";
    EXPECT_LT(took, 4000u) << "the wait did not end when the window went away";
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
}

TEST_F(FinWinDovrelTitle, PartsOfTheTitleFindNothing) {
    StartTarget({{"Dovrel.exe"}});
    for (const char* title : {"Dovrel", "dovrel.ex", "ovrel.exe", "Dovrel.exe ", " Dovrel.exe", "Dovrel.exe.exe"}) {
        SCOPED_TRACE(title);
        const ULONGLONG took = CallFinWin(title);
        EXPECT_LT(took, 4000u) << "FinWin waited although nothing matched";
        EXPECT_TRUE(IsWindow(target_.Window(0)));
    }
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].requestTicks.empty());
}

// ---- Titles of its own ----

class FinWinCall : public FinWinTest {};

TEST_F(FinWinCall, EmptyOrNullTitleFindsNothingNotEvenAnUntitledWindow) {
    StartTarget({{""}, {Unique("Finwin titled")}});
    EXPECT_LT(CallFinWin(""), 4000u) << "FinWin waited although nothing matched";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(finWin_(nullptr), 1);
    EXPECT_LT(GetTickCount64() - start, 4000u);
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].requestTicks.empty()) << "the untitled window got a request";
    EXPECT_TRUE(reports[1].requestTicks.empty());
}

TEST_F(FinWinCall, OnlyTheHighestOfTwoWindowsWithTheTitleGetsTheRequest) {
    const std::string title = Unique("Finwin twin");
    // Lower one visible, upper one hidden: hidden windows are searched too.
    StartTarget({{title, false, false}, {title, true, false}});
    const HWND lower = target_.Window(0), upper = target_.Window(1);
    CallFinWin(title.c_str());
    EXPECT_FALSE(IsWindow(upper));
    EXPECT_TRUE(IsWindow(lower)) << "the window below was asked too";
    // Called again, it finds the one that is left.
    CallFinWin(title.c_str());
    EXPECT_FALSE(IsWindow(lower));
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 2u);
    ASSERT_EQ(reports[1].requestTicks.size(), 1u);
    ASSERT_EQ(reports[0].requestTicks.size(), 1u);
    EXPECT_LT(reports[1].requestTicks[0], reports[0].requestTicks[0]) << "the lower window was asked first";
}

TEST_F(FinWinCall, LongTitleIsComparedByItsFirst2047Bytes) {
    std::string title = Unique("Finwin long");
    title.reserve(3000);
    for (size_t i = title.size(); i < 3000; ++i) title.push_back(static_cast<char>('a' + i % 26));
    StartTarget({{title}});
    const HWND window = target_.Window(0);
    char read[4096] = {};
    ASSERT_EQ(GetWindowTextA(window, read, sizeof read), 3000) << "the system kept a shorter title";

    CallFinWin(title.c_str());
    EXPECT_TRUE(IsWindow(window)) << "matched on the whole 3000-byte title";
    CallFinWin(title.substr(0, 2046).c_str());
    EXPECT_TRUE(IsWindow(window)) << "matched on 2046 bytes";
    CallFinWin(title.substr(0, 2048).c_str());
    EXPECT_TRUE(IsWindow(window)) << "matched on 2048 bytes";

    std::string upper = title.substr(0, 2047);
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    CallFinWin(upper.c_str());
    EXPECT_FALSE(IsWindow(window)) << "no match on the first 2047 bytes";
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
}

TEST_F(FinWinCall, CallsFromTwoThreadsAtOnceEachCloseTheirWindow) {
    const std::string first = Unique("Finwin thread"), second = Unique("Finwin thread");
    StartTarget({{first}, {second}});
    struct Call {
        FinWinFunction fn;
        const char* title;
        int result;
    } calls[2] = {{finWin_, first.c_str(), 0}, {finWin_, second.c_str(), 0}};
    struct Runner {
        static DWORD WINAPI Run(void* p) {
            auto* call = static_cast<Call*>(p);
            call->result = call->fn(call->title);
            return 0;
        }
    };
    LPTHREAD_START_ROUTINE run = Runner::Run;
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, run, &calls[i], 0, nullptr);
    ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, 15000), WAIT_OBJECT_0);
    for (HANDLE t : threads) CloseHandle(t);
    EXPECT_EQ(calls[0].result, 1);
    EXPECT_EQ(calls[1].result, 1);
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
    EXPECT_EQ(reports[1].requestTicks.size(), 1u);
}

// ---- A window that will not go (about 20 s) ----

class FinWinRepeat : public FinWinTest {};

TEST_F(FinWinRepeat, WindowIgnoringTheRequestGetsFourOf5SecondsApart) {
    const std::string title = Unique("Finwin stubborn");
    StartTarget({{title, true, true}});
    const ULONGLONG took = CallFinWin(title.c_str());
    EXPECT_TRUE(IsWindow(target_.Window(0)));
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    const auto& ticks = reports[0].requestTicks;
    ASSERT_EQ(ticks.size(), 4u);
    for (size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - ticks[i - 1], 4800u) << "request " << i + 1;
        EXPECT_LE(ticks[i] - ticks[i - 1], 6500u) << "request " << i + 1;
    }
    EXPECT_GE(took, 19800u) << "did not wait 5 s after the fourth request";
    EXPECT_LE(took, 23000u);
}

// ---- Code pages (ctest sets the locale of each) ----

class FinWinJapanese : public FinWinTest {
protected:
    void SetUp() override {
        FinWinTest::SetUp();
        ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    }
};

TEST_F(FinWinJapanese, FullWidthLettersMatchWithoutRegardToCase) {
    const std::string suffix = Unique("");
    const std::string upper = "\x82\x63\x82\x6e\x82\x75\x82\x71\x82\x64\x82\x6b" + suffix;  // ＤＯＶＲＥＬ
    const std::string lower = "\x82\x84\x82\x8f\x82\x96\x82\x92\x82\x85\x82\x8c" + suffix;  // ｄｏｖｒｅｌ
    const std::string half = "dovrel" + suffix;
    StartTarget({{upper}});
    CallFinWin(half.c_str());
    EXPECT_TRUE(IsWindow(target_.Window(0))) << "full-width letters matched half-width ones";
    CallFinWin(lower.c_str());
    EXPECT_FALSE(IsWindow(target_.Window(0)));
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
}

TEST_F(FinWinJapanese, DoubleByteCharactersAreNotSplit) {
    const std::string suffix = Unique("");
    const std::string katakanaA = "\x83\x41" + suffix;   // ア
    const std::string katakanaDi = "\x83\x61" + suffix;  // ヂ: same lead byte, trail 'a' instead of 'A'
    StartTarget({{katakanaA}});
    CallFinWin(katakanaDi.c_str());
    EXPECT_TRUE(IsWindow(target_.Window(0))) << "trail bytes were folded like letters";
    CallFinWin(katakanaA.c_str());
    EXPECT_FALSE(IsWindow(target_.Window(0)));
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
}

class FinWinSingleByte : public FinWinTest {
protected:
    void SetUp() override {
        FinWinTest::SetUp();
        CPINFO info{};
        ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
        ASSERT_EQ(info.MaxCharSize, 1u) << "run with a single-byte locale such as LC_ALL=en_US.UTF-8";
    }
};

TEST_F(FinWinSingleByte, EveryByteIsACharacterOfItsOwn) {
    // 0x83 0x41 is one character in code page 932 but two here, the second
    // of which matches 'a' without regard to case.
    const std::string suffix = Unique("");
    StartTarget({{"\x83\x41" + suffix}});
    CallFinWin(("\x83\x61" + suffix).c_str());
    EXPECT_FALSE(IsWindow(target_.Window(0)));
    const auto reports = FinishTarget();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].requestTicks.size(), 1u);
}

// ---- Version resource ----

std::string VersionString(const std::vector<char>& data, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    const std::string path = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) || !value) return "<missing>";
    return value;
}

TEST(FinwinVersion, JapaneseVersionResource) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "Finwin.dll";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(dll.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    UINT translationSize = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &translationSize));
    ASSERT_GE(translationSize, 4u);
    EXPECT_EQ(translation[0], 0x0411);

    EXPECT_EQ(VersionString(data, "FileDescription"), "Finwin DLL");
    EXPECT_EQ(VersionString(data, "InternalName"), "Finwin");
    EXPECT_EQ(VersionString(data, "OriginalFilename"), "Finwin.DLL");
    EXPECT_EQ(VersionString(data, "FileVersion"), "1, 0, 0, 1");
    EXPECT_EQ(VersionString(data, "ProductVersion"), "1, 0, 0, 1");

    HMODULE module = LoadLibraryA("Finwin.dll");
    ASSERT_NE(module, nullptr);
    HRSRC resource = FindResourceExA(module, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                                     MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    EXPECT_NE(resource, nullptr) << "the version resource is not in language 1041";
    FreeLibrary(module);
}

}  // namespace
