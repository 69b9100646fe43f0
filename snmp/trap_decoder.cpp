#include "snmp/trap_decoder.h"

#include <cstdio>
#include <cstring>

#include "snmp/ber_tags.h"
#include "snmp/encoded_oids.h"
#include "snmp/trap_classifier.h"

using namespace encoded_oids;

namespace {

constexpr uint8_t kWellKnownAlarmCount = 24;
constexpr size_t kAlarmTailSize = 6;  // 21 01 06 03 k 00

}  // namespace

int32_t DecodeInteger(const uint8_t* value, int32_t length) {
    if (length < 1) return 0;
    uint32_t result = 0;
    for (int32_t i = 0; i < length; ++i) result = (result << 8) | value[i];
    return static_cast<int32_t>(result);
}

int32_t ClassifyAlarm(const uint8_t* value, size_t available) {
    if (!StartsWith(value, available, 0, kMib2)) return 0;
    const size_t tail = sizeof kMib2;
    for (uint8_t k = 1; k <= kWellKnownAlarmCount; ++k) {
        const uint8_t alarm[kAlarmTailSize] = {0x21, 0x01, 0x06, 0x03, k, 0x00};
        if (StartsWith(value, available, tail, alarm, kAlarmTailSize)) return 10 + 2 * k;
    }
    return 0;
}

std::string AgentAddressText(const uint8_t* octets, size_t count) {
    uint8_t quad[4] = {0, 0, 0, 0};
    std::memcpy(quad, octets, count < 4 ? count : 4);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", quad[0], quad[1], quad[2], quad[3]);
    return text;
}

bool CommunityMatches(const uint8_t* data, size_t size, const TlvItem& item, const std::string& community) {
    return item.length == community.size() && ValueInside(size, item) &&
           std::memcmp(data + item.valuePos, community.data(), community.size()) == 0;
}

int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields) {
    RefusalReason reason;
    return ParseTrap(data, size, community, fields, reason);
}

int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields,
                  RefusalReason& reason) {
    fields.specificCode = 0;
    fields.outletNumber = 0;
    reason = RefusalReason::NotDecodable;
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
    // The classification of the header read so far, with its reason.
    TrapHeader header;
    const auto classify = [&](HeaderReach reach, size_t listPos) {
        header.reach = reach;
        BindingSource bindings;
        bindings.first = listPos;
        const int32_t number = ClassifyTrap(data, size, header, bindings, fields);
        reason = number != 0 ? RefusalReason::None : RefusalReason::NotDecodable;
        return number;
    };

    size_t pos = 0;
    if (!read(pos, kTagSequence)) return 0;  // message
    pos = item.valuePos;
    if (!read(pos, kTagInteger) || !skip(pos)) return 0;  // version, not examined

    if (!read(pos, kTagOctetString)) return 0;  // community
    if (!CommunityMatches(data, size, item, community)) {
        reason = RefusalReason::WrongCommunity;
        return 0;
    }
    pos = ValueEnd(item);

    if (!read(pos, kTagTrapPdu)) return 0;
    pos = item.valuePos;

    if (!read(pos, kTagObjectId)) return 0;  // enterprise
    header.enterprise = FlagsOfEnterprise(data + item.valuePos, size - item.valuePos);
    if (!skip(pos)) return 0;

    if (!read(pos, kTagIpAddress)) return 0;  // agent-addr
    {
        const size_t present = item.length < 4 ? item.length : 4;
        if (present > size - item.valuePos) return 0;
        fields.agentAddress = AgentAddressText(data + item.valuePos, present);
    }
    if (!skip(pos)) return 0;

    // generic-trap and specific-trap are the first octet of their items,
    // whatever the items' lengths.
    if (!read(pos, kTagInteger) || item.valuePos >= size) return 0;  // generic-trap
    header.generic = data[item.valuePos];
    if (!skip(pos)) return classify(HeaderReach::Generic, 0);

    if (!read(pos, kTagInteger) || item.valuePos >= size) return classify(HeaderReach::Generic, 0);  // specific-trap
    header.specific = data[item.valuePos];
    if (!skip(pos)) return classify(HeaderReach::Specific, 0);

    if (!read(pos, kTagTimeTicks) || !skip(pos)) return classify(HeaderReach::Specific, 0);  // time-stamp

    if (!read(pos, kTagSequence)) return classify(HeaderReach::Specific, 0);  // variable-bindings
    header.emptyList = static_cast<int32_t>(item.length) <= 0;
    return classify(HeaderReach::Bindings, item.valuePos);
}
