#include "core/mbcs.h"

#include <cstddef>

bool IsShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsDoubleByteLeadByte(unsigned char b, unsigned codePage) {
    switch (codePage) {
    case 932: return IsShiftJisLeadByte(b);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
    }
}

namespace {

unsigned FoldAscii(unsigned c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Full-width A-Z onto full-width a-z, where each code page keeps them.
unsigned FoldDoubleByte(unsigned c, unsigned codePage) {
    switch (codePage) {
    case 932:  // 0x8260-0x8279 -> 0x8281-0x829A
        return (c >= 0x8260 && c <= 0x8279) ? c + 0x21 : c;
    case 936:
    case 949:  // 0xA3C1-0xA3DA -> 0xA3E1-0xA3FA
        return (c >= 0xA3C1 && c <= 0xA3DA) ? c + 0x20 : c;
    case 950: {  // 0xA2CF-0xA2E8 -> a-v at 0xA2E9-0xA2FE, w-z at 0xA340-0xA343
        if (c < 0xA2CF || c > 0xA2E8) return c;
        const unsigned letter = c - 0xA2CF;
        return letter < 22 ? 0xA2E9 + letter : 0xA340 + (letter - 22);
    }
    default: return c;
    }
}

// Next character of s at i (one or two bytes); advances i. A lead byte at
// the end of the string stands alone.
unsigned NextChar(const unsigned char* s, size_t& i, unsigned codePage) {
    unsigned c = s[i++];
    if (IsDoubleByteLeadByte(static_cast<unsigned char>(c), codePage) && s[i] != 0) {
        c = (c << 8) | s[i++];
        return FoldDoubleByte(c, codePage);
    }
    return FoldAscii(c);
}

}  // namespace

bool MbsEqualNoCase(const char* a, const char* b, unsigned codePage) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* pb = reinterpret_cast<const unsigned char*>(b ? b : "");
    size_t i = 0, j = 0;
    for (;;) {
        if (pa[i] == 0 || pb[j] == 0) return pa[i] == 0 && pb[j] == 0;
        if (NextChar(pa, i, codePage) != NextChar(pb, j, codePage)) return false;
    }
}

std::size_t CharacterBytes(const std::string& s, std::size_t i, unsigned codePage) {
    return IsDoubleByteLeadByte(static_cast<unsigned char>(s[i]), codePage) && i + 1 < s.size() ? 2 : 1;
}

std::size_t CharBoundaryPrefix(const std::string& text, std::size_t maxBytes, unsigned codePage) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharacterBytes(text, end, codePage);
        if (next > maxBytes) break;
        end = next;
    }
    return end;
}

std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string CutAtCharacter(const std::string& s, std::size_t maxBytes, unsigned codePage) {
    return s.substr(0, CharBoundaryPrefix(s, maxBytes, codePage));
}
