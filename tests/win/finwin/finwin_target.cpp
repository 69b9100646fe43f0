// Owner of top-level windows for the Finwin tests.
//
//   finwin_target.exe <ready event> <quit event> <report file> <window>...
//
// Each <window> is "<flags>:<title in hex>", flags 'h' (hidden) and 'i'
// (ignores WM_DESTROY; other windows destroy themselves on it). Windows are
// created in the order given and then raised in that order, so the last one
// is the highest in Z order. The ready event is set once they all exist; on
// the quit event (or after two minutes) the report file gets a first line
// "acp <code page>" and then one line per window, in the order given:
//   <hwnd> <requests> <tick of each request>...
// where a request is a WM_DESTROY taken from the message queue (a posted
// one) and ticks are GetTickCount64 values.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TargetWindow {
    std::string title;
    bool hidden = false;
    bool ignoresDestroy = false;
    HWND hwnd = nullptr;
    std::vector<ULONGLONG> requestTicks;
};

bool ParseHex(const std::string& hex, std::string& out) {
    if (hex.size() % 2) return false;
    out.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned byte = 0;
        if (std::sscanf(hex.c_str() + i, "%2x", &byte) != 1) return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

bool ParseWindow(const char* arg, TargetWindow& w) {
    const std::string spec(arg);
    const size_t colon = spec.find(':');
    if (colon == std::string::npos) return false;
    for (char f : spec.substr(0, colon)) {
        if (f == 'h') w.hidden = true;
        else if (f == 'i') w.ignoresDestroy = true;
        else return false;
    }
    return ParseHex(spec.substr(colon + 1), w.title);
}

TargetWindow* FindByHandle(std::vector<TargetWindow>& windows, HWND hwnd) {
    for (auto& w : windows)
        if (w.hwnd == hwnd) return &w;
    return nullptr;
}

void WriteReport(const char* path, const std::vector<TargetWindow>& windows) {
    FILE* f = std::fopen(path, "w");
    if (!f) return;
    std::fprintf(f, "acp %u\n", GetACP());
    for (const auto& w : windows) {
        std::fprintf(f, "%llu %u", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(w.hwnd)),
                     static_cast<unsigned>(w.requestTicks.size()));
        for (ULONGLONG t : w.requestTicks) std::fprintf(f, " %llu", t);
        std::fprintf(f, "\n");
    }
    std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    std::vector<TargetWindow> windows(argc - 4);
    for (int i = 4; i < argc; ++i)
        if (!ParseWindow(argv[i], windows[i - 4])) return 2;

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FinwinTestTarget";
    if (!RegisterClassA(&wc)) return 3;

    int offset = 0;
    for (auto& w : windows) {
        const DWORD style = WS_OVERLAPPEDWINDOW | (w.hidden ? 0 : WS_VISIBLE);
        w.hwnd = CreateWindowExA(0, wc.lpszClassName, w.title.c_str(), style, 40 + offset, 40 + offset, 200, 80,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        if (!w.hwnd) return 4;
        offset += 20;
    }
    for (auto& w : windows)
        SetWindowPos(w.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    const HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!ready || !quit) return 5;
    SetEvent(ready);

    const ULONGLONG deadline = GetTickCount64() + 120000;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        const DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break;  // quit, timeout or failure
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Only a posted WM_DESTROY comes through the queue; the one that
            // DestroyWindow sends goes straight to the window procedure.
            if (msg.message == WM_DESTROY) {
                if (TargetWindow* w = FindByHandle(windows, msg.hwnd)) {
                    w->requestTicks.push_back(GetTickCount64());
                    if (!w->ignoresDestroy) DestroyWindow(w->hwnd);
                }
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    WriteReport(argv[3], windows);
    for (auto& w : windows)
        if (IsWindow(w.hwnd)) DestroyWindow(w.hwnd);
    return 0;
}
