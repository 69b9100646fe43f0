/* Calls Finwin.dll's FinWin with a title, as an outside program would:
 *   finwin_call DLL_PATH TITLE
 * Exit code 0 once FinWin has returned, 2 when the DLL or export is missing. */
#include <windows.h>
#include <stdio.h>

typedef int(__cdecl* FinWinFn)(const char*);

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s DLL_PATH TITLE\n", argv[0]);
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    FinWinFn finWin = dll ? (FinWinFn)(void*)GetProcAddress(dll, "FinWin") : NULL;
    if (!finWin) {
        fprintf(stderr, "cannot load FinWin from %s\n", argv[1]);
        return 2;
    }
    finWin(argv[2]);
    FreeLibrary(dll);
    return 0;
}
