// winprobe: looks at and pokes the top-level windows of the Wine prefix it
// runs in. Used by the shell-script tests of Dovrel.exe.
//
// Command line (kept stable; other tests depend on it):
//   winprobe list                        one line per top-level window:
//                                        hwnd class "title" visible=0|1 topmost=0|1 rect=l,t,r,b
//                                        and, for "TOLM" alert dialogs, "1001=..." "1002=..." "1003=..."
//                                        and, when it has one, "1004=..." (the repeat line)
//   (a TITLE ending in * matches every title that begins with what precedes it;
//   "hex:" and hex digits give a title by its ANSI bytes, e.g. a Japanese one)
//   winprobe wait-title TITLE SECONDS    waits for a window titled TITLE; 0 found, 1 timed out
//   winprobe wait-gone TITLE SECONDS     waits until no window is titled TITLE; 0 gone, 1 timed out
//   winprobe count-title TITLE           prints how many top-level windows bear TITLE; exit 0
//   winprobe count-visible TITLE         prints how many of them are visible; exit 0
//   winprobe post-destroy TITLE [COUNT]  posts WM_DESTROY COUNT times (default 1), back to back,
//                                        to the first window titled TITLE
//   winprobe post-command TITLE ID       posts WM_COMMAND(ID) to the first window titled TITLE
//   winprobe set-text TITLE ID TEXT      sets the text of control ID of the first window TITLE
//   winprobe dialog-text TITLE ID        prints the text of control ID of the first window
//                                        titled TITLE (ANSI bytes, no newline added)
//   winprobe child-texts TITLE           prints the text of every window inside the first
//                                        window titled TITLE (children of children too),
//                                        one line each (ANSI bytes)
//   winprobe press TITLE ID              posts WM_COMMAND(ID, BN_CLICKED) to the dialog titled TITLE
//   winprobe tray-click                  posts the tray callback (1124, WM_RBUTTONDOWN) to "Dovrel.exe"
//   winprobe send-message TITLE MSG WPARAM  sends MSG (lParam 0) to the first window titled TITLE
//                                        and prints its result as an unsigned 32-bit number;
//                                        1 when it does not answer within 2 s
//   winprobe is-visible TITLE            0 visible, 1 hidden
//   winprobe rect TITLE                  prints "l t r b" of the first window titled TITLE
//   winprobe screen                      prints "width height" of the desktop window
//   winprobe acp                         prints the ANSI code page (GetACP)
//   winprobe command-exit TITLE ID SECONDS  posts WM_COMMAND(ID) to the first window titled
//                                        TITLE and waits for its process to end; prints the
//                                        exit code; 0 ended, 1 timed out (for a process that
//                                        the test did not start itself)
// Output is binary (LF line ends, texts as their ANSI bytes).
// Commands naming a TITLE exit 3 when no such window exists; 2 means bad usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr int kOk = 0, kFalse = 1, kUsage = 2, kNotFound = 3;
constexpr UINT kTrayCallback = WM_USER + 100;

std::string Title(HWND w) {
    char text[512] = {};
    GetWindowTextA(w, text, sizeof(text));
    return text;
}

std::string ClassOf(HWND w) {
    char name[256] = {};
    GetClassNameA(w, name, sizeof(name));
    return name;
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> WindowsTitled(const char* title) {
    std::vector<HWND> found;
    // "prefix*" matches by the title's beginning: titles in another code
    // page than this command line's cannot be given whole.
    std::string wanted = title;
    if (wanted.compare(0, 4, "hex:") == 0) {
        std::string bytes;
        for (size_t i = 4; i + 1 < wanted.size(); i += 2)
            bytes += static_cast<char>(std::stoi(wanted.substr(i, 2), nullptr, 16));
        wanted = bytes;
    }
    const bool prefix = !wanted.empty() && wanted.back() == '*';
    const std::string stem = prefix ? wanted.substr(0, wanted.size() - 1) : wanted;
    for (HWND w : TopLevelWindows()) {
        const std::string t = Title(w);
        if (prefix ? t.compare(0, stem.size(), stem) == 0 : t == wanted) found.push_back(w);
    }
    return found;
}

HWND FirstTitled(const char* title) {
    auto found = WindowsTitled(title);
    return found.empty() ? nullptr : found.front();
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

BOOL CALLBACK PrintChildText(HWND w, LPARAM) {
    // WM_GETTEXT, not GetWindowText: that one reads no control of another process.
    char text[1024] = {};
    SendMessageA(w, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    std::printf("%s\n", text);
    return TRUE;
}

int List() {
    for (HWND w : TopLevelWindows()) {
        RECT r = {};
        GetWindowRect(w, &r);
        bool topmost = (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        std::printf("%p %s \"%s\" visible=%d topmost=%d rect=%ld,%ld,%ld,%ld", static_cast<void*>(w),
                    ClassOf(w).c_str(), Title(w).c_str(), IsWindowVisible(w) ? 1 : 0, topmost ? 1 : 0, r.left, r.top,
                    r.right, r.bottom);
        if (Title(w) == "TOLM") {
            for (int id = 1001; id <= 1003; ++id) std::printf(" \"%d=%s\"", id, ItemText(w, id).c_str());
            // The repeat line exists only in a window that took a repeat.
            if (GetDlgItem(w, 1004)) std::printf(" \"1004=%s\"", ItemText(w, 1004).c_str());
        }
        std::printf("\n");
    }
    return kOk;
}

int WaitFor(const char* title, double seconds, bool present) {
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        bool found = FirstTitled(title) != nullptr;
        if (found == present) return kOk;
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return kFalse;
        Sleep(100);
    }
}

int CommandAndWaitForExit(const char* title, int id, double seconds) {
    HWND w = FirstTitled(title);
    if (!w) return kNotFound;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return kFalse;
    DWORD code = STILL_ACTIVE;
    bool ended = PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0) &&
                 WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (ended) std::printf("%lu\n", code);
    return ended ? kOk : kFalse;
}

int Post(const char* title, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND w = FirstTitled(title);
    if (!w) return kNotFound;
    return PostMessageA(w, message, wParam, lParam) ? kOk : kFalse;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return kUsage;
    // Output is exactly what is printed: no CR added before LF.
    _setmode(_fileno(stdout), _O_BINARY);
    std::string command = argv[1];
    auto need = [&](int n) { return argc >= n + 2; };

    if (command == "list") return List();
    if (command == "wait-title" && need(2)) return WaitFor(argv[2], std::atof(argv[3]), true);
    if (command == "wait-gone" && need(2)) return WaitFor(argv[2], std::atof(argv[3]), false);
    if (command == "count-title" && need(1)) {
        std::printf("%u\n", static_cast<unsigned>(WindowsTitled(argv[2]).size()));
        return kOk;
    }
    if (command == "count-visible" && need(1)) {
        unsigned n = 0;
        for (HWND w : WindowsTitled(argv[2])) n += IsWindowVisible(w) ? 1 : 0;
        std::printf("%u\n", n);
        return kOk;
    }
    if (command == "post-destroy" && need(1)) {
        HWND w = FirstTitled(argv[2]);
        if (!w) return kNotFound;
        int count = argc > 3 ? std::atoi(argv[3]) : 1;
        bool ok = true;
        for (int i = 0; i < count; ++i) ok = PostMessageA(w, WM_DESTROY, 0, 0) && ok;
        return ok ? kOk : kFalse;
    }
    if (command == "acp") {
        std::printf("%u\n", GetACP());
        return kOk;
    }
    if (command == "command-exit" && need(3)) return CommandAndWaitForExit(argv[2], std::atoi(argv[3]), std::atof(argv[4]));
    if (command == "post-command" && need(2)) return Post(argv[2], WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0);
    if (command == "press" && need(2)) {
        HWND dialog = FirstTitled(argv[2]);
        if (!dialog) return kNotFound;
        int id = std::atoi(argv[3]);
        HWND button = GetDlgItem(dialog, id);
        return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button))
                   ? kOk
                   : kFalse;
    }
    if (command == "set-text" && need(3)) {
        HWND dialog = FirstTitled(argv[2]);
        if (!dialog) return kNotFound;
        return SetDlgItemTextA(dialog, std::atoi(argv[3]), argv[4]) ? kOk : kFalse;
    }
    if (command == "dialog-text" && need(2)) {
        HWND dialog = FirstTitled(argv[2]);
        if (!dialog) return kNotFound;
        std::string text = ItemText(dialog, std::atoi(argv[3]));
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kOk;
    }
    if (command == "child-texts" && need(1)) {
        HWND w = FirstTitled(argv[2]);
        if (!w) return kNotFound;
        EnumChildWindows(w, PrintChildText, 0);
        return kOk;
    }
    if (command == "tray-click") return Post("Dovrel.exe", kTrayCallback, 1111, WM_RBUTTONDOWN);
    if (command == "send-message" && need(3)) {
        HWND w = FirstTitled(argv[2]);
        if (!w) return kNotFound;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(w, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                                 static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)), 0, SMTO_ABORTIFHUNG, 2000,
                                 &result))
            return kFalse;
        std::printf("%lu\n", static_cast<unsigned long>(static_cast<uint32_t>(result)));
        return kOk;
    }
    if (command == "is-visible" && need(1)) {
        HWND w = FirstTitled(argv[2]);
        if (!w) return kNotFound;
        return IsWindowVisible(w) ? kOk : kFalse;
    }
    if (command == "rect" && need(1)) {
        HWND w = FirstTitled(argv[2]);
        if (!w) return kNotFound;
        RECT r = {};
        GetWindowRect(w, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return kOk;
    }
    if (command == "screen") {
        RECT r = {};
        GetWindowRect(GetDesktopWindow(), &r);
        std::printf("%ld %ld\n", r.right - r.left, r.bottom - r.top);
        return kOk;
    }
    return kUsage;
}
