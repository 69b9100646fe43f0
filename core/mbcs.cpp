#include "core/mbcs.h"

#include <cstddef>

bool IsShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

namespace {

unsigned FoldAscii(unsigned c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Full-width A-Z (0x8260-0x8279) fold onto full-width a-z (0x8281-0x829A).
unsigned FoldDoubleByte(unsigned c) { return (c >= 0x8260 && c <= 0x8279) ? c + 0x21 : c; }

// Next character of s at i (one or two bytes); advances i. A lead byte at
// the end of the string stands alone.
unsigned NextChar(const unsigned char* s, size_t& i, bool doubleByte) {
    unsigned c = s[i++];
    if (doubleByte && IsShiftJisLeadByte(static_cast<unsigned char>(c)) && s[i] != 0) {
        c = (c << 8) | s[i++];
        return FoldDoubleByte(c);
    }
    return FoldAscii(c);
}

}  // namespace

bool MbsEqualNoCase(const char* a, const char* b, unsigned codePage) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* pb = reinterpret_cast<const unsigned char*>(b ? b : "");
    const bool doubleByte = codePage == 932;
    size_t i = 0, j = 0;
    for (;;) {
        if (pa[i] == 0 || pb[j] == 0) return pa[i] == 0 && pb[j] == 0;
        if (NextChar(pa, i, doubleByte) != NextChar(pb, j, doubleByte)) return false;
    }
}
