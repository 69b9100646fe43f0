#include "snmp/ber_items.h"

namespace {

constexpr uint8_t kLongLengthForm = 0x80;
constexpr uint8_t kMultiOctetTag = 0x1F;

// Octets of a long-form length: the value big-endian without leading zeros.
size_t LengthOctets(size_t length) {
    size_t octets = 0;
    for (size_t rest = length; rest != 0; rest >>= 8) ++octets;
    return octets;
}

}  // namespace

bool ReadTlv(const uint8_t* data, size_t size, size_t pos, TlvItem& item) {
    if (pos > size || size - pos < 2) return false;
    const uint8_t tag = data[pos];
    const uint8_t first = data[pos + 1];
    if ((first & kLongLengthForm) == 0) {
        item = TlvItem{pos + 2, first, tag};
        return true;
    }
    const size_t n = first & 0x7F;
    if (size - pos - 2 < n) return false;
    uint32_t length = 0;
    for (size_t i = 0; i < n; ++i) length = (length << 8) | data[pos + 2 + i];
    item = TlvItem{pos + 2 + n, length, tag};
    return true;
}

bool ReadDefiniteItem(const uint8_t* data, size_t end, size_t pos, TlvItem& item) {
    if (pos > end || end - pos < 2) return false;
    const uint8_t tag = data[pos];
    if ((tag & kMultiOctetTag) == kMultiOctetTag) return false;
    const uint8_t first = data[pos + 1];
    size_t valuePos = pos + 2;
    size_t length = first;
    if (first & kLongLengthForm) {
        const size_t n = first & 0x7F;
        if (n == 0 || end - valuePos < n) return false;  // indefinite, or the length runs out
        length = 0;
        for (size_t i = 0; i < n; ++i) {
            // Whatever exceeds the buffer fails below; stopping here keeps the
            // accumulation from overflowing.
            if (length > end || length > (SIZE_MAX >> 8)) return false;
            length = (length << 8) | data[valuePos + i];
        }
        valuePos += n;
    }
    if (length > end - valuePos || length > UINT32_MAX) return false;
    item = TlvItem{valuePos, static_cast<uint32_t>(length), tag};
    return true;
}

size_t ItemHeaderSize(size_t length) { return length <= 0x7F ? 2 : 2 + LengthOctets(length); }

size_t WriteItemHeader(uint8_t tag, size_t length, uint8_t* out) {
    out[0] = tag;
    if (length <= 0x7F) {
        out[1] = static_cast<uint8_t>(length);
        return 2;
    }
    const size_t octets = LengthOctets(length);
    out[1] = static_cast<uint8_t>(kLongLengthForm | octets);
    for (size_t i = 0; i < octets; ++i) out[2 + i] = static_cast<uint8_t>(length >> (8 * (octets - 1 - i)));
    return 2 + octets;
}
