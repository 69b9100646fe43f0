#include "kalbrit/test_trap.h"

#include "core/ipv4.h"
#include "kalbrit/trap_form.h"
#include "snmp/ber_tags.h"
#include "snmp/trap_intake.h"

namespace {

// Tag, length (short form below 128, else 0x81/0x82 and the octets), value.
void AppendItem(std::vector<uint8_t>& out, uint8_t tag, const std::vector<uint8_t>& value) {
    out.push_back(tag);
    const size_t n = value.size();
    if (n < 0x80) {
        out.push_back(static_cast<uint8_t>(n));
    } else if (n <= 0xFF) {
        out.push_back(0x81);
        out.push_back(static_cast<uint8_t>(n));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), value.begin(), value.end());
}

// Shortest two's-complement octets of a non-negative value: a leading zero
// when the top bit would otherwise read as a sign.
std::vector<uint8_t> UnsignedOctets(uint32_t v) {
    std::vector<uint8_t> octets;
    do {
        octets.insert(octets.begin(), static_cast<uint8_t>(v & 0xFF));
        v >>= 8;
    } while (v);
    if (octets.front() & 0x80) octets.insert(octets.begin(), 0);
    return octets;
}

// 1.3.6.1.6.3.1.1.5: first two arcs as 40*1+3, then one octet per arc (all below 128).
std::vector<uint8_t> EnterpriseOctets() { return {0x2B, 6, 1, 6, 3, 1, 1, 5}; }

}  // namespace

std::vector<uint8_t> EncodeTestTrap(const std::string& community, uint32_t uptimeHundredths) {
    std::vector<uint8_t> pdu;
    AppendItem(pdu, kTagObjectId, EnterpriseOctets());
    AppendItem(pdu, kTagIpAddress,
               {static_cast<uint8_t>(kTestTrapAgent >> 24), static_cast<uint8_t>(kTestTrapAgent >> 16),
                static_cast<uint8_t>(kTestTrapAgent >> 8), static_cast<uint8_t>(kTestTrapAgent)});
    AppendItem(pdu, kTagInteger, {0});  // generic-trap coldStart
    AppendItem(pdu, kTagInteger, {0});  // specific-trap
    AppendItem(pdu, kTagTimeTicks, UnsignedOctets(uptimeHundredths));
    AppendItem(pdu, kTagSequence, {});  // no variable bindings

    std::vector<uint8_t> message;
    AppendItem(message, kTagInteger, {0});  // version-1
    AppendItem(message, kTagOctetString, std::vector<uint8_t>(community.begin(), community.end()));
    AppendItem(message, kTagTrapPdu, pdu);

    std::vector<uint8_t> out;
    AppendItem(out, kTagSequence, message);
    return out;
}

bool SendersAcceptTestTrap(const TrapForm& form) {
    TrapSettings settings;
    if (!form.allSenders) {
        settings.targetText = form.target;
        settings.targetAddress = InetAddr(form.target.c_str());
    }
    if (!form.noProhibition) {
        settings.prohibitionText = form.prohibition;
        settings.prohibitionAddress = InetAddr(form.prohibition.c_str());
    }
    return AcceptSource(settings, InetAddr("127.0.0.1"), "127.0.0.1") == RefusalReason::None;
}
