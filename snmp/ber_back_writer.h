#pragma once
// Writes BER from the end of a fixed buffer towards its start, so that each
// item's contents are written, and their length known, before its header.
// Every write is bounded; one that does not fit fails the writer for good.
#include <cstddef>
#include <cstdint>
#include <cstring>

class BerBackWriter {
public:
    BerBackWriter(uint8_t* buffer, size_t capacity) : buffer_(buffer), start_(capacity), capacity_(capacity) {}

    bool Ok() const { return ok_; }
    size_t Size() const { return capacity_ - start_; }
    uint8_t* Front() { return buffer_ + start_; }

    // Makes room for size octets before what is written and returns them.
    uint8_t* Reserve(size_t size) {
        if (!ok_ || size > start_) {
            ok_ = false;
            return nullptr;
        }
        start_ -= size;
        return buffer_ + start_;
    }
    void Bytes(const uint8_t* data, size_t size) {
        if (uint8_t* to = Reserve(size)) {
            if (size) std::memcpy(to, data, size);
        }
    }
    void Zeros(size_t size) {
        if (uint8_t* to = Reserve(size)) std::memset(to, 0, size);
    }

    // A tag and a definite length in the shortest form.
    void Header(uint8_t tag, size_t length) {
        uint8_t header[10];
        size_t n = 0;  // filled from the end
        if (length < 0x80) {
            header[9 - n++] = static_cast<uint8_t>(length);
        } else {
            for (size_t rest = length; rest != 0; rest >>= 8) header[9 - n++] = static_cast<uint8_t>(rest);
            header[9 - n] = static_cast<uint8_t>(0x80 | n);
            ++n;
        }
        header[9 - n++] = tag;
        Bytes(header + 10 - n, n);
    }
    // Wraps what was written since mark (an earlier Size()) in one item.
    void Wrap(uint8_t tag, size_t mark) { Header(tag, Size() - mark); }

    void Octets(uint8_t tag, const uint8_t* data, size_t size) {
        Bytes(data, size);
        Header(tag, size);
    }
    // Two's complement in the fewest octets.
    void Integer(uint8_t tag, int64_t value) {
        uint8_t octets[8];
        size_t n = 0;
        for (;;) {
            const uint8_t low = static_cast<uint8_t>(value);
            octets[7 - n++] = low;
            value >>= 8;  // arithmetic: the sign is kept
            const bool signBit = (low & 0x80) != 0;
            if ((value == 0 && !signBit) || (value == -1 && signBit)) break;
        }
        Octets(tag, octets + 8 - n, n);
    }

private:
    uint8_t* buffer_;
    size_t start_;
    size_t capacity_;
    bool ok_ = true;
};
