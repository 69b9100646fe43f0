#include "snmp/receive_triage.h"

#include "core/ipv4.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"
#include "snmp/trap_intake.h"

bool IsV2cInform(const uint8_t* data, size_t size) {
    CommunityMessage message;
    if (!ReadCommunityMessage(data, size, message)) return false;
    const TlvItem& version = message.version;
    return version.length == 1 && data[version.valuePos] == static_cast<uint8_t>(SnmpVersion::V2c) &&
           message.pduPos < message.messageEnd && data[message.pduPos] == kTagInformRequestPdu;
}

TriageOutcome ReceiveTriage::Handle(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs) {
    if (settings_.acceptV2c && IsV2cInform(data, size)) return AnswerV2cInform(data, size, sender, nowMs);
    return {};
}

TriageOutcome ReceiveTriage::AnswerV2cInform(const uint8_t* data, size_t size, const DatagramSender& sender,
                                             uint64_t nowMs) {
    TriageOutcome outcome;
    const DecodedDatagram decoded = DecodeDatagram(data, size, settings_.community, true);
    // A wrong community or a malformed request: no answer; the intake pass
    // refuses it as it refuses such a trap.
    if (!decoded.answerInform) return outcome;
    const std::string& from = decoded.fields.agentAddress.empty() ? sender.text : decoded.fields.agentAddress;
    if (!AcceptSource(settings_, InetAddr(from.c_str()), sender.text)) return outcome;

    outcome.replySize = BuildV2cInformResponse(data, size, decoded.pdu, reply_, sizeof reply_);
    outcome.reply = reply_;
    outcome.queue = resends_.Announce(sender.address, sender.port, decoded.pdu.requestIdValue, nowMs);
    return outcome;
}
