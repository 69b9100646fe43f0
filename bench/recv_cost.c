/* What one datagram costs a receiver, without a sender competing for the
 * cores: fills a socket's buffer with BATCH datagrams of 45 octets sent to
 * itself, then times the recvfrom() calls that read them back, ROUNDS times.
 *
 *   recv_cost [ROUNDS [BATCH [nonblocking]]]   (defaults 20 rounds of 2000)
 *
 * "nonblocking" reads from a non-blocking socket, as the receiver engine does.
 * Prints the median microseconds per sendto() and per recvfrom(); at 50,000
 * datagrams a second a receiver has 20 us for each. Builds natively and with
 * mingw-w64 (Wine), so the two can be set side by side. */
#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
typedef int socklen_t;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <time.h>
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static double NowUs(void) {
#ifdef _WIN32
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
#else
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e6 + (double)t.tv_nsec / 1e3;
#endif
}

static int CompareDoubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 20;
    const int batch = argc > 2 ? atoi(argv[2]) : 2000;
#ifdef _WIN32
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
    const int nonBlocking = argc > 3 && strcmp(argv[3], "nonblocking") == 0;
    int receiver = (int)socket(AF_INET, SOCK_DGRAM, 0);
    if (nonBlocking) {
#ifdef _WIN32
        u_long on = 1;
        ioctlsocket(receiver, FIONBIO, &on);
#else
        fcntl(receiver, F_SETFL, O_NONBLOCK);
#endif
    }
    int sender = (int)socket(AF_INET, SOCK_DGRAM, 0);
    int rcvbuf = 4 * 1024 * 1024;
    setsockopt(receiver, SOL_SOCKET, SO_RCVBUF, (const char*)&rcvbuf, sizeof rcvbuf);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    socklen_t addrLen = sizeof addr;
    if (bind(receiver, (struct sockaddr*)&addr, sizeof addr) != 0 ||
        getsockname(receiver, (struct sockaddr*)&addr, &addrLen) != 0) {
        perror("bind");
        return 2;
    }
    double* sendUs = calloc((size_t)rounds, sizeof *sendUs);
    double* recvUs = calloc((size_t)rounds, sizeof *recvUs);
    char payload[45] = {0x30, 43};
    static char buffer[1500];
    for (int r = 0; r < rounds; ++r) {
        double t0 = NowUs();
        for (int i = 0; i < batch; ++i)
            sendto(sender, payload, sizeof payload, 0, (struct sockaddr*)&addr, sizeof addr);
        double t1 = NowUs();
        int got = 0;
        for (; got < batch; ++got) {
            struct sockaddr_in from;
            socklen_t fromLen = sizeof from;
            if (recvfrom(receiver, buffer, sizeof buffer, 0, (struct sockaddr*)&from, &fromLen) < 0) break;
        }
        double t2 = NowUs();
        if (got < batch) {
            fprintf(stderr, "only %d of %d datagrams came back\n", got, batch);
            return 1;
        }
        sendUs[r] = (t1 - t0) / batch;
        recvUs[r] = (t2 - t1) / batch;
    }
    qsort(sendUs, (size_t)rounds, sizeof *sendUs, CompareDoubles);
    qsort(recvUs, (size_t)rounds, sizeof *recvUs, CompareDoubles);
    printf("sendto %.2f us recvfrom %.2f us (median of %d rounds of %d)\n", sendUs[rounds / 2], recvUs[rounds / 2],
           rounds, batch);
    return 0;
}
