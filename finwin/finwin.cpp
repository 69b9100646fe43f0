// Finwin.dll: finds a top-level window by its title and asks it to go away
// with posted WM_DESTROY messages. No state, no work on load or unload.
#include <windows.h>

#include "core/mbcs.h"

namespace {

constexpr int kTitleBufferSize = 2048;  // GetWindowTextA keeps 2047 bytes and a NUL
constexpr int kMaxRequests = 4;
constexpr DWORD kWaitPerRequestMs = 5000;
constexpr DWORD kPollIntervalMs = 10;
constexpr int kMaxWalks = 8;

// First top-level window, in Z order from the top and hidden ones included,
// whose title equals `title` without regard to case in the ANSI code page.
// A window destroyed while the walk stands on it has no successor any more,
// which would end the walk early and miss a window further down: the walk
// then starts again from the top, a few times at most.
HWND FindTopLevelWindow(const char* title, UINT codePage) {
    char text[kTitleBufferSize];
    for (int walk = 0; walk < kMaxWalks; ++walk) {
        HWND last = nullptr;
        for (HWND window = GetTopWindow(GetDesktopWindow()); window; window = GetWindow(window, GW_HWNDNEXT)) {
            last = window;
            ZeroMemory(text, sizeof text);
            if (GetWindowTextA(window, text, kTitleBufferSize) <= 0) continue;  // untitled, or gone meanwhile
            if (MbsEqualNoCase(text, title, codePage)) return window;
        }
        if (!last || IsWindow(last)) return nullptr;  // reached the bottom of the Z order
    }
    return nullptr;
}

// True as soon as the window has ceased to exist; false after timeoutMs.
// The caller's messages are deliberately left alone while waiting.
bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (!IsWindow(window)) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const ULONGLONG left = deadline - now;
        Sleep(left < kPollIntervalMs ? static_cast<DWORD>(left) : kPollIntervalMs);
    }
}

}  // namespace

// Posts WM_DESTROY to the first window titled `title` (null = empty title)
// up to four times, 5 s apart, until it is gone. Always returns 1.
extern "C" int __cdecl FinWin(const char* title) {
    const HWND window = FindTopLevelWindow(title ? title : "", GetACP());
    if (!window) return 1;
    for (int requests = 0; requests < kMaxRequests; ++requests) {
        PostMessageA(window, WM_DESTROY, 0, 0);
        if (WaitForWindowGone(window, kWaitPerRequestMs)) break;
    }
    return 1;
}
