#pragma once
// Tag-length-value items: the SNMPv1 decoder's lenient header reader, the
// strict reader of the SNMPv2 paths and the header writer of the answers.
// Tags are single octets throughout.
#include <cstddef>
#include <cstdint>

// One tag-length-value item header.
struct TlvItem {
    size_t valuePos = 0;   // offset of the value from the buffer start
    uint32_t length = 0;   // declared length of the value
    uint8_t tag = 0;
};

// Reads the item header at pos. Returns false when the header is not wholly
// inside the buffer (the declared value may still run past the end). The
// indefinite form reads as length 0; long-form lengths accumulate in 32 bits.
bool ReadTlv(const uint8_t* data, size_t size, size_t pos, TlvItem& item);

// Reads the item at pos as BER in definite form (RFC 3417 allows no other):
// false unless its header and its whole value lie in [pos, end) and its tag
// is not of the multi-octet form. Long lengths may carry leading zeros.
bool ReadDefiniteItem(const uint8_t* data, size_t end, size_t pos, TlvItem& item);

// The item's whole declared value lies inside a buffer of size octets.
inline bool ValueInside(size_t size, const TlvItem& item) {
    return item.valuePos <= size && item.length <= size - item.valuePos;
}

inline size_t ValueEnd(const TlvItem& item) { return item.valuePos + item.length; }

// Octets of an item header with this length in the shortest definite form.
size_t ItemHeaderSize(size_t length);

// Writes tag and length in the shortest definite form at out, which must
// hold ItemHeaderSize(length) octets; returns the octets written.
size_t WriteItemHeader(uint8_t tag, size_t length, uint8_t* out);
