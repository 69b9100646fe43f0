#pragma once
// Sends Kalbrit's test trap over a plain UDP socket.
#include <windows.h>

#include <cstdint>
#include <vector>

// ERROR_SUCCESS, or the Windows Sockets error of the step that failed.
DWORD SendDatagramToLoopback(unsigned short port, const std::vector<uint8_t>& datagram);
