/* Replays one captured datagram to a UDP port at a paced rate.
 *
 *   trap_sender DEST_IP PORT[,PORT...] RATE COUNT PAYLOAD_FILE [SOURCE_IP]
 *
 * With several ports each datagram goes to every port in turn, so receivers
 * that are compared side by side see the same stream. RATE is datagrams per
 * second (per port); 0 sends as fast as sendto() allows. The
 * pacing is by schedule: after t seconds, RATE*t datagrams should have gone,
 * so a late wake-up is made good by a burst rather than lost. With
 * TRAP_SENDER_SECONDS set, sending also ends after that many seconds.
 * Prints the number sent, the time taken and the rate achieved. POSIX only. */
#define _POSIX_C_SOURCE 200809L
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: %s DEST_IP PORT[,PORT...] RATE COUNT PAYLOAD_FILE [SOURCE_IP]\n", argv[0]);
        return 2;
    }
    const char* dest = argv[1];
    const double rate = atof(argv[3]);
    const long count = atol(argv[4]);

    unsigned char payload[65536];
    FILE* f = fopen(argv[5], "rb");
    if (!f) { perror(argv[5]); return 2; }
    const size_t size = fread(payload, 1, sizeof payload, f);
    fclose(f);

    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) { perror("socket"); return 2; }
    if (argc > 6) {
        struct sockaddr_in src;
        memset(&src, 0, sizeof src);
        src.sin_family = AF_INET;
        src.sin_addr.s_addr = inet_addr(argv[6]);
        if (bind(s, (struct sockaddr*)&src, sizeof src) != 0) { perror("bind"); return 2; }
    }
    struct sockaddr_in to[16];
    int ports = 0;
    for (char* p = strtok(argv[2], ","); p && ports < 16; p = strtok(NULL, ",")) {
        memset(&to[ports], 0, sizeof to[ports]);
        to[ports].sin_family = AF_INET;
        to[ports].sin_port = htons((unsigned short)atoi(p));
        to[ports].sin_addr.s_addr = inet_addr(dest);
        ++ports;
    }

    const char* seconds = getenv("TRAP_SENDER_SECONDS");
    const double limit = seconds ? atof(seconds) : 0.0;
    long sent = 0, failed = 0;
    const double start = Now();
    while (sent + failed < count) {
        if (limit > 0 && Now() - start >= limit) break;
        long due = sent + failed + 1000; /* the time limit is looked at every 1000 */
        if (due > count) due = count;
        if (rate > 0) {
            due = (long)((Now() - start) * rate) + 1;
            if (due > count) due = count;
        }
        while (sent + failed < due) {
            int ok = 1;
            for (int i = 0; i < ports; ++i)
                if (sendto(s, payload, size, 0, (struct sockaddr*)&to[i], sizeof to[i]) != (ssize_t)size) ok = 0;
            if (ok)
                ++sent;
            else
                ++failed;
        }
        if (rate > 0 && sent + failed < count) {
            struct timespec pause = {0, 100000}; /* 0.1 ms */
            nanosleep(&pause, NULL);
        }
    }
    const double elapsed = Now() - start;
    printf("sent %ld failed %ld bytes %zu seconds %.3f rate %.0f\n", sent, failed, size, elapsed,
           elapsed > 0 ? sent / elapsed : 0.0);
    close(s);
    return 0;
}
