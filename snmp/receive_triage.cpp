#include "snmp/receive_triage.h"

#include "core/ipv4.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"
#include "snmp/trap_intake.h"
#include "snmp/usm_receiver.h"

bool IsV2cInform(const uint8_t* data, size_t size) {
    CommunityMessage message;
    if (!ReadCommunityMessage(data, size, message)) return false;
    const TlvItem& version = message.version;
    return version.length == 1 && data[version.valuePos] == static_cast<uint8_t>(SnmpVersion::V2c) &&
           message.pduPos < message.messageEnd && data[message.pduPos] == kTagInformRequestPdu;
}

TriageOutcome ReceiveTriage::Handle(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs) {
    if (settings_.acceptV2c && IsV2cInform(data, size)) return AnswerV2cInform(data, size, sender, nowMs);
    if (usm_ && DatagramVersion(data, size) == static_cast<int64_t>(SnmpVersion::V3))
        return ReceiveV3(data, size, sender, nowMs);
    return QueueAsReceived(data, size);
}

bool ReceiveTriage::SenderAccepted(const std::string& agentAddress, const DatagramSender& sender) const {
    const std::string& from = agentAddress.empty() ? sender.text : agentAddress;
    return AcceptSource(settings_, InetAddr(from.c_str()), sender.text);
}

TriageOutcome ReceiveTriage::AnswerV2cInform(const uint8_t* data, size_t size, const DatagramSender& sender,
                                             uint64_t nowMs) {
    TriageOutcome outcome = QueueAsReceived(data, size);
    const DecodedDatagram decoded = DecodeDatagram(data, size, settings_.community, true);
    // A wrong community or a malformed request: no answer; the intake pass
    // refuses it as it refuses such a trap.
    if (!decoded.answerInform || !SenderAccepted(decoded.fields.agentAddress, sender)) return outcome;

    outcome.replySize = BuildV2cInformResponse(data, size, decoded.pdu, reply_, sizeof reply_);
    outcome.reply = reply_;
    outcome.queue = resends_.Announce(sender.address, sender.port, decoded.pdu.requestIdValue, nowMs);
    return outcome;
}

TriageOutcome ReceiveTriage::ReceiveV3(const uint8_t* data, size_t size, const DatagramSender& sender,
                                       uint64_t nowMs) {
    TriageOutcome outcome;
    outcome.queue = false;
    const int64_t nowSeconds = static_cast<int64_t>(nowMs / 1000);
    const UsmBuffers buffers{plain_, sizeof plain_, reply_, sizeof reply_};
    const UsmResult result = usm_->Receive(data, size, nowSeconds, buffers);
    // Discovery and a wrong time are answered with a Report, a refusal or not.
    outcome.reply = reply_;
    outcome.replySize = result.replySize;
    outcome.refusal = result.refusal;
    if (result.verdict != UsmVerdict::Notification) return outcome;

    // The PDU is the scoped PDU's last item; the intake pass decodes it again,
    // as it decodes every queued datagram.
    const uint8_t* pdu = plain_ + result.scoped.pduPos;
    const size_t pduSize = result.scoped.size - result.scoped.pduPos;
    outcome.bytes = pdu;
    outcome.size = pduSize;
    outcome.form = PacketForm::V3Pdu;
    outcome.queue = true;
    if (result.scoped.pduTag != kTagInformRequestPdu) return outcome;

    // An INFORM is answered as a v2c one is: only when it will be announced.
    const DecodedDatagram decoded = DecodeV3Pdu(pdu, pduSize);
    if (!decoded.pdu.inform || decoded.pdu.pdu.size != pduSize ||
        !SenderAccepted(decoded.fields.agentAddress, sender))
        return outcome;
    const size_t responseSize = BuildInformResponsePdu(pdu, pduSize, decoded.pdu, response_, sizeof response_);
    if (responseSize == 0) return outcome;
    outcome.replySize =
        usm_->WrapResponse(result, plain_, response_, responseSize, nowSeconds, reply_, sizeof reply_);
    outcome.queue = resends_.Announce(sender.address, sender.port, decoded.pdu.requestIdValue, nowMs);
    return outcome;
}
