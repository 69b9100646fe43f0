/* Does a UDP port stay bound under Wine after the thread blocked in select()
 * on it was ended by TerminateThread and the socket closed?
 *   select_terminate PORT [MODE]
 * MODE "terminate" (default): TerminateThread on the selecting thread, then
 * closesocket, then exit; "close": closesocket while it selects, then exit.
 * Afterwards `ss -uan` shows whether PORT is still bound. */
#include <winsock2.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>

static SOCKET g_socket;

static DWORD WINAPI SelectForever(LPVOID unused) {
    (void)unused;
    for (;;) {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(g_socket, &readSet);
        struct timeval limit = {60, 0};
        select(0, &readSet, NULL, NULL, &limit);
    }
    return 0;
}

int main(int argc, char** argv) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);
    const int port = argc > 1 ? atoi(argv[1]) : 24240;
    const int terminate = !(argc > 2 && strcmp(argv[2], "close") == 0);
    g_socket = socket(AF_INET, SOCK_DGRAM, 0);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons((u_short)port);
    if (bind(g_socket, (struct sockaddr*)&addr, sizeof addr) != 0) {
        printf("bind failed %d\n", WSAGetLastError());
        return 2;
    }
    HANDLE thread = CreateThread(NULL, 0, SelectForever, NULL, 0, NULL);
    Sleep(500); /* the thread is inside select() by now */
    if (terminate) TerminateThread(thread, 259);
    Sleep(200);
    closesocket(g_socket);
    CloseHandle(thread);
    WSACleanup();
    printf("closed\n");
    return 0;
}
