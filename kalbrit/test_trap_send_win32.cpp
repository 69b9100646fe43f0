#include "kalbrit/test_trap_send_win32.h"

#include <winsock2.h>

DWORD SendDatagramToLoopback(unsigned short port, const std::vector<uint8_t>& datagram) {
    WSADATA data;
    int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0) return static_cast<DWORD>(error);
    DWORD result = ERROR_SUCCESS;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        result = static_cast<DWORD>(WSAGetLastError());
    } else {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int n = sendto(s, reinterpret_cast<const char*>(datagram.data()), static_cast<int>(datagram.size()), 0,
                             reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n == SOCKET_ERROR) result = static_cast<DWORD>(WSAGetLastError());
        closesocket(s);
    }
    WSACleanup();
    return result;
}
