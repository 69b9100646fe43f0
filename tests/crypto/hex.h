#pragma once
// Hex text to octets and back, for the crypto and SNMPv3 tests.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/hex_text.h"

inline std::vector<uint8_t> FromHex(const std::string& text) {
    std::vector<uint8_t> out(text.size() / 2);
    if (!ParseHexText(text, out.data(), out.size())) out.clear();
    return out;
}

inline std::string ToHex(const uint8_t* data, size_t size) { return HexText(data, size); }
inline std::string ToHex(const std::vector<uint8_t>& data) { return HexText(data.data(), data.size()); }
