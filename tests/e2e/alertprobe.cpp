// alertprobe: acts on one alert window by its handle, as printed by
// "winprobe list", so that the end-to-end test can look at each alert in turn
// whatever the stacking order.
//   alertprobe raise HWND   puts the window above every other and repaints it
//   alertprobe close HWND   posts the Esc command (WM_COMMAND 2); waits up to 5 s for it to go
// Exit code 0 on success, 1 when the window does not exist or did not go, 2 on bad usage.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoull(argv[2], nullptr, 16)));
    if (!IsWindow(window)) return 1;
    if (std::strcmp(argv[1], "raise") == 0) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        PostMessageA(window, WM_COMMAND, 2, 0);
        for (int i = 0; i < 100 && IsWindow(window); ++i) Sleep(50);
        return IsWindow(window) ? 1 : 0;
    }
    return 2;
}
