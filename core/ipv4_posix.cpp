#include "core/ipv4.h"

#include <arpa/inet.h>

uint32_t InetAddr(const char* text) { return static_cast<uint32_t>(inet_addr(text)); }
