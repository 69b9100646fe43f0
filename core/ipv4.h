#pragma once
// inet_addr on the platform's sockets library: dotted text to a 32-bit IPv4
// address in network byte order, INADDR_NONE (all ones) when not an address.
#include <cstdint>

uint32_t InetAddr(const char* text);
