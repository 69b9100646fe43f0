#include "core/dotted_ipv4.h"

bool ParseDottedIPv4(const std::string& text, unsigned long& hostOrder) {
    unsigned long value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t start = i;
        unsigned long part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            part = part * 10 + static_cast<unsigned long>(text[i] - '0');
            ++i;
        }
        std::size_t digits = i - start;
        if (digits == 0 || part > 255 || (digits > 1 && text[start] == '0')) return false;
        value = (value << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
    }
    if (i != text.size()) return false;
    hostOrder = value;
    return true;
}
