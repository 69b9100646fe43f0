#include "snmp/trap_decoder.h"

#include <cstdio>
#include <cstring>

#include "snmp/ber_tags.h"

namespace {

// Identifiers as their encoded octets; only these prefixes are compared.
constexpr uint8_t kMib2Prefix[] = {0x2B, 0x06, 0x01, 0x02, 0x01};
constexpr uint8_t kUpsTraps[] = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x02};
constexpr uint8_t kEnterpriseA[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04, 0x05};
constexpr uint8_t kEnterpriseB[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x01, 0x01, 0x01};
constexpr uint8_t kAlarmDescrTail[] = {0x21, 0x01, 0x06, 0x02, 0x01, 0x02};
constexpr uint8_t kOutletNumberVar[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56,
                                        0x04, 0x02, 0x04, 0x02, 0x01, 0x01};
constexpr uint8_t kOutletNameVar[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56,
                                      0x04, 0x02, 0x04, 0x02, 0x01, 0x06};
constexpr uint8_t kWellKnownAlarmCount = 24;
constexpr size_t kAlarmTailSize = 6;  // 21 01 06 03 k 00

constexpr size_t kShortNameLimit = 512;
constexpr size_t kLongNameCut = 500;

// True when the count octets at pos exist and equal expected.
bool StartsWith(const uint8_t* data, size_t size, size_t pos, const uint8_t* expected, size_t count) {
    if (pos > size || count > size - pos) return false;
    return std::memcmp(data + pos, expected, count) == 0;
}
template <size_t N>
bool StartsWith(const uint8_t* data, size_t size, size_t pos, const uint8_t (&expected)[N]) {
    return StartsWith(data, size, pos, expected, N);
}

// The item's whole declared value lies inside the buffer.
bool ValueInside(size_t size, const TlvItem& item) {
    return item.valuePos <= size && item.length <= size - item.valuePos;
}

size_t ValueEnd(const TlvItem& item) { return item.valuePos + item.length; }

// Lengths are 32-bit quantities read as signed where "0 or less" is tested.
bool EmptyOrNegative(const TlvItem& item) { return static_cast<int32_t>(item.length) <= 0; }

int32_t SpecificBasedNumber(int32_t base, int32_t s) {
    if (s == 1 || s == 2) return base;
    if (s >= 3 && s <= 7) return base + s;
    return -1;
}

}  // namespace

bool ReadTlv(const uint8_t* data, size_t size, size_t pos, TlvItem& item) {
    if (pos > size || size - pos < 2) return false;
    const uint8_t tag = data[pos];
    const uint8_t first = data[pos + 1];
    if ((first & 0x80) == 0) {
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

int32_t DecodeInteger(const uint8_t* value, int32_t length) {
    if (length < 1) return 0;
    uint32_t result = 0;
    for (int32_t i = 0; i < length; ++i) result = (result << 8) | value[i];
    return static_cast<int32_t>(result);
}

int32_t ClassifyAlarm(const uint8_t* value, size_t available) {
    if (!StartsWith(value, available, 0, kMib2Prefix)) return 0;
    const size_t tail = sizeof kMib2Prefix;
    for (uint8_t k = 1; k <= kWellKnownAlarmCount; ++k) {
        const uint8_t alarm[kAlarmTailSize] = {0x21, 0x01, 0x06, 0x03, k, 0x00};
        if (StartsWith(value, available, tail, alarm, kAlarmTailSize)) return 10 + 2 * k;
    }
    return 0;
}

namespace {

enum class BindingKind { None, Alarm, OutletNumber, OutletName };

constexpr unsigned kSeenOutletNumber = 1;
constexpr unsigned kSeenOutletName = 2;

// The variable-binding scan: at most three bindings from listPos. Returns
// the message number when an alarm binding decides it, else -1 with the
// seen set filled in.
int32_t ScanBindings(const uint8_t* data, size_t size, size_t listPos, TrapFields& fields, unsigned& seen) {
    BindingKind kind = BindingKind::None;
    bool alarm = false;
    size_t pos = listPos;
    for (int i = 0; i < 3; ++i) {
        TlvItem binding;
        if (!ReadTlv(data, size, pos, binding)) break;
        if (EmptyOrNegative(binding) || binding.tag != kTagSequence) break;

        TlvItem name;
        if (!ReadTlv(data, size, binding.valuePos, name)) break;
        if (EmptyOrNegative(name) || !ValueInside(size, name)) break;
        if (name.tag == kTagObjectId) {
            if (StartsWith(data, size, name.valuePos, kMib2Prefix) &&
                StartsWith(data, size, name.valuePos + sizeof kMib2Prefix, kAlarmDescrTail)) {
                kind = BindingKind::Alarm;
                alarm = true;
            }
            if (StartsWith(data, size, name.valuePos, kOutletNumberVar)) {
                kind = BindingKind::OutletNumber;
                seen |= kSeenOutletNumber;
            }
            if (StartsWith(data, size, name.valuePos, kOutletNameVar)) {
                kind = BindingKind::OutletName;
                seen |= kSeenOutletName;
            }
        }

        TlvItem value;
        if (!ReadTlv(data, size, ValueEnd(name), value)) break;
        if (EmptyOrNegative(value) || !ValueInside(size, value)) break;
        const uint8_t* bytes = data + value.valuePos;
        switch (value.tag) {
        case kTagInteger:
            if (kind == BindingKind::OutletNumber)
                fields.outletNumber = DecodeInteger(bytes, static_cast<int32_t>(value.length));
            break;
        case kTagOctetString: {
            const size_t limit = value.length <= kShortNameLimit ? value.length : kLongNameCut;
            const void* zero = std::memchr(bytes, 0, limit);
            const size_t count = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes) : limit;
            if (kind == BindingKind::OutletName) fields.outletName.assign(reinterpret_cast<const char*>(bytes), count);
            break;
        }
        case kTagObjectId:
            if (alarm) return ClassifyAlarm(bytes, size - value.valuePos);
            break;
        default:
            break;
        }
        pos = ValueEnd(value);
    }
    return -1;
}

}  // namespace

int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields) {
    fields.specificCode = 0;
    fields.outletNumber = 0;
    if (!data) return 0;

    TlvItem item;
    // Reads the item at pos and checks its tag.
    auto read = [&](size_t pos, uint8_t tag) { return ReadTlv(data, size, pos, item) && item.tag == tag; };
    // Moves past the item's value, which must end inside the datagram.
    auto skip = [&](size_t& pos) {
        if (!ValueInside(size, item)) return false;
        pos = ValueEnd(item);
        return true;
    };

    size_t pos = 0;
    if (!read(pos, kTagSequence)) return 0;  // message
    pos = item.valuePos;
    if (!read(pos, kTagInteger) || !skip(pos)) return 0;  // version, not examined

    if (!read(pos, kTagOctetString)) return 0;  // community
    if (item.length != community.size() || !ValueInside(size, item) ||
        std::memcmp(data + item.valuePos, community.data(), community.size()) != 0)
        return 0;
    pos = ValueEnd(item);

    if (!read(pos, kTagTrapPdu)) return 0;
    pos = item.valuePos;

    if (!read(pos, kTagObjectId)) return 0;  // enterprise
    const bool upsTraps = StartsWith(data, size, item.valuePos, kUpsTraps);
    const bool enterpriseA = StartsWith(data, size, item.valuePos, kEnterpriseA);
    const bool enterpriseB = StartsWith(data, size, item.valuePos, kEnterpriseB);
    if (!skip(pos)) return 0;

    if (!read(pos, kTagIpAddress)) return 0;  // agent-addr
    {
        uint8_t octets[4] = {0, 0, 0, 0};
        const size_t present = item.length < 4 ? item.length : 4;
        if (present > size - item.valuePos) return 0;
        std::memcpy(octets, data + item.valuePos, present);
        char text[16];
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
        fields.agentAddress = text;
    }
    if (!skip(pos)) return 0;

    if (!read(pos, kTagInteger) || item.valuePos >= size) return 0;  // generic-trap
    const int32_t g = data[item.valuePos];
    if (g == 0) return 2;
    if (g == 4 && enterpriseB) return 5;
    if (g == 1 && enterpriseB) return 6;
    if (!skip(pos)) return 0;

    if (!read(pos, kTagInteger) || item.valuePos >= size) return 0;  // specific-trap
    const int32_t s = data[item.valuePos];
    fields.specificCode = s;
    if (upsTraps && g == 6 && s == 1) return 3;
    if (!skip(pos)) return 0;

    if (!read(pos, kTagTimeTicks) || !skip(pos)) return 0;  // time-stamp

    if (!read(pos, kTagSequence)) return 0;  // variable-bindings
    pos = item.valuePos;
    if (EmptyOrNegative(item)) {
        if (!(enterpriseA && g == 6)) return 0;
        const int32_t number = SpecificBasedNumber(110, s);
        if (number > 0) return number;
    }

    unsigned seen = 0;
    const int32_t alarmNumber = ScanBindings(data, size, pos, fields, seen);
    if (alarmNumber >= 0) return alarmNumber;

    if (seen == (kSeenOutletNumber | kSeenOutletName)) {
        if (s == 8) return 130;
        const int32_t number = SpecificBasedNumber(120, s);
        if (number > 0) return number;
    }
    return 1;
}
