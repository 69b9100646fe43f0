/* The limit of the machine: a bare recvfrom() loop that counts datagrams.
 *
 *   bare_receiver PORT EXPECTED IDLE_MS [RCVBUF [select|drain]]
 *
 * Binds 127.0.0.1:PORT, prints "listening" and then counts datagrams until
 * EXPECTED have arrived or none has come for IDLE_MS after the first (60 s
 * before the first). RCVBUF > 0 sets SO_RCVBUF; otherwise the system default
 * stays. With "select", each recvfrom() is preceded by a select() on the
 * socket, as the receiver engine's loop does, to show what that call costs.
 * With "drain", the socket is non-blocking and each select() is followed by
 * recvfrom() calls until none is waiting: one select() per burst.
 * Prints "received N". Builds natively and with mingw-w64 (Wine). */
#ifdef _WIN32
#include <winsock2.h>
typedef int socklen_t;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <sys/select.h>
#include <sys/time.h>
#include <unistd.h>
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void SetTimeout(int s, int ms) {
#ifdef _WIN32
    DWORD t = (DWORD)ms;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&t, sizeof t);
#else
    struct timeval t = {ms / 1000, (ms % 1000) * 1000};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
#endif
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s PORT EXPECTED IDLE_MS [RCVBUF]\n", argv[0]);
        return 2;
    }
#ifdef _WIN32
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
    const int port = atoi(argv[1]);
    const long expected = atol(argv[2]);
    const int idleMs = atoi(argv[3]);
    const int rcvbuf = argc > 4 ? atoi(argv[4]) : 0;
    const int useSelect = argc > 5 && strcmp(argv[5], "select") == 0;
    const int drain = argc > 5 && strcmp(argv[5], "drain") == 0;

    int s = (int)socket(AF_INET, SOCK_DGRAM, 0);
    if (rcvbuf > 0) setsockopt(s, SOL_SOCKET, SO_RCVBUF, (const char*)&rcvbuf, sizeof rcvbuf);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons((unsigned short)port);
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (bind(s, (struct sockaddr*)&addr, sizeof addr) != 0) {
        perror("bind");
        return 2;
    }
    int actual = 0;
    socklen_t optlen = sizeof actual;
    getsockopt(s, SOL_SOCKET, SO_RCVBUF, (char*)&actual, &optlen);
    printf("listening rcvbuf %d\n", actual);
    fflush(stdout);

    static char buffer[1500];
    long received = 0;
    SetTimeout(s, 60000);
    if (drain) {
#ifdef _WIN32
        u_long on = 1;
        ioctlsocket(s, FIONBIO, &on);
#else
        fcntl(s, F_SETFL, O_NONBLOCK);
#endif
        int waitMs = 60000;
        while (received < expected) {
            fd_set readSet;
            FD_ZERO(&readSet);
            FD_SET(s, &readSet);
            struct timeval limit = {waitMs / 1000, (waitMs % 1000) * 1000};
            if (select(s + 1, &readSet, NULL, NULL, &limit) <= 0) break;
            for (;;) {
                struct sockaddr_in from;
                socklen_t fromLen = sizeof from;
                if (recvfrom(s, buffer, sizeof buffer, 0, (struct sockaddr*)&from, &fromLen) < 0) break;
                ++received;
            }
            waitMs = idleMs;
        }
    }
    while (!drain && received < expected) {
        if (useSelect) {
            fd_set readSet;
            FD_ZERO(&readSet);
            FD_SET(s, &readSet);
            struct timeval limit = {1, 0};
            select(s + 1, &readSet, NULL, NULL, &limit);
        }
        struct sockaddr_in from;
        socklen_t fromLen = sizeof from;
        int n = (int)recvfrom(s, buffer, sizeof buffer, 0, (struct sockaddr*)&from, &fromLen);
        if (n < 0) break; /* timeout: traffic is over */
        if (received++ == 0) SetTimeout(s, idleMs);
    }
    printf("received %ld\n", received);
    fflush(stdout);
    return 0;
}
