#include "kalbrit/test_trap.h"

#include "core/ipv4.h"
#include "kalbrit/trap_form.h"
#include "snmp/ber_tags.h"
#include "snmp/ber_back_writer.h"
#include "snmp/encoded_oids.h"
#include "snmp/trap_intake.h"
#include "snmp/trap_records.h"
#include "snmp/usm_key_cache.h"
#include "snmp/usm_local_engine.h"
#include "snmp/usm_outgoing.h"

std::vector<uint8_t> EncodeTestTrap(const std::string& community, uint32_t uptimeHundredths) {
    // Written from its end; the community is the only part of any length.
    std::vector<uint8_t> buffer(community.size() + 64);
    BerBackWriter w(buffer.data(), buffer.size());
    w.Header(kTagSequence, 0);  // no variable bindings
    w.Integer(kTagTimeTicks, uptimeHundredths);
    w.Integer(kTagInteger, 0);  // specific-trap
    w.Integer(kTagInteger, 0);  // generic-trap coldStart
    const uint8_t agent[] = {static_cast<uint8_t>(kTestTrapAgent >> 24), static_cast<uint8_t>(kTestTrapAgent >> 16),
                             static_cast<uint8_t>(kTestTrapAgent >> 8), static_cast<uint8_t>(kTestTrapAgent)};
    w.Octets(kTagIpAddress, agent, sizeof agent);
    w.Octets(kTagObjectId, encoded_oids::kSnmpTraps, sizeof encoded_oids::kSnmpTraps);  // enterprise snmpTraps
    w.Wrap(kTagTrapPdu, 0);
    w.Octets(kTagOctetString, reinterpret_cast<const uint8_t*>(community.data()), community.size());
    w.Integer(kTagInteger, 0);  // version-1
    w.Wrap(kTagSequence, 0);
    if (!w.Ok()) return {};
    return std::vector<uint8_t>(w.Front(), w.Front() + w.Size());
}

std::vector<uint8_t> EncodeV3TestTrap(Crypto& crypto, const UsmUser& user, uint32_t uptimeHundredths) {
    if (!user.supported || (user.auth != AuthProtocol::None && !crypto.Supports(AuthHash(user.auth)))) return {};
    uint8_t engineId[kGeneratedEngineIdSize];
    uint32_t ids[2];  // msgID and request-id
    uint64_t salt = 0;
    if (!MakeEngineId(crypto, engineId) || !crypto.Random(reinterpret_cast<uint8_t*>(ids), sizeof ids) ||
        !crypto.Random(reinterpret_cast<uint8_t*>(&salt), sizeof salt))
        return {};
    LocalizedKeys keys;
    if (user.auth != AuthProtocol::None && !LocalizeUserKeys(crypto, user, engineId, sizeof engineId, keys)) return {};

    // The SNMPv2-Trap PDU, written from its end: the bindings, then the header.
    static const uint8_t kColdStart[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05, 0x01};  // snmpTraps.1
    uint8_t pdu[128];
    BerBackWriter w(pdu, sizeof pdu);
    const size_t end = w.Size();  // each item below is wrapped from here or from its own mark
    w.Octets(kTagObjectId, kColdStart, sizeof kColdStart);
    w.Octets(kTagObjectId, encoded_oids::kSnmpTrapOid0, sizeof encoded_oids::kSnmpTrapOid0);
    w.Wrap(kTagSequence, end);  // snmpTrapOID.0
    const size_t upTime = w.Size();
    w.Integer(kTagTimeTicks, uptimeHundredths);
    w.Octets(kTagObjectId, encoded_oids::kSysUpTime0, sizeof encoded_oids::kSysUpTime0);
    w.Wrap(kTagSequence, upTime);  // sysUpTime.0
    w.Wrap(kTagSequence, end);     // the bindings
    w.Integer(kTagInteger, 0);  // error-index
    w.Integer(kTagInteger, 0);  // error-status
    w.Integer(kTagInteger, ids[1] & 0x7FFFFFFF);
    w.Wrap(kTagSnmpV2TrapPdu, end);
    if (!w.Ok()) return {};

    OutgoingMessage message;
    message.msgId = static_cast<int32_t>(ids[0] & 0x7FFFFFFF);
    message.msgMaxSize = kMaxDatagram;
    message.level = user.Level();
    message.reportable = false;  // a trap is never answered, not even with a Report
    message.engineId = engineId;
    message.engineIdSize = sizeof engineId;
    message.engineBoots = 1;
    message.engineTime = uptimeHundredths / 100;
    message.userName = reinterpret_cast<const uint8_t*>(user.name.data());
    message.userNameSize = user.name.size();
    message.auth = user.auth;
    message.keys = &keys;
    message.salt = salt;
    message.contextEngineId = engineId;
    message.contextEngineIdSize = sizeof engineId;
    message.pdu = w.Front();
    message.pduSize = w.Size();
    std::vector<uint8_t> out(kMaxDatagram);
    out.resize(BuildUsmMessage(crypto, message, out.data(), out.size()));
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
