#pragma once
// What the receive thread does with each datagram before the intake pass
// sees it. An INFORM whose sender is accepted is answered here, at once: its
// sender waits a second or so for the answer, while the intake pass runs
// only every few seconds. A resent copy (same sender address, port and
// request-id within a minute) is answered again but not queued, so that it
// is announced once. SNMPv3 messages go to the user-based security model
// here too, since its Reports are answers as well; only the notification
// PDU it has authenticated and decrypted is queued. Everything else is
// queued as it came, and the intake pass decides (and counts) what it
// refuses. Portable: the socket sends the reply; the time is passed in. One
// thread owns it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/trap_settings.h"
#include "snmp/inform_resend_filter.h"
#include "snmp/inform_response.h"
#include "snmp/refusal_reason.h"
#include "snmp/trap_records.h"

class UsmReceiver;

// A datagram's source as the socket gives it: address and port in network
// byte order, the address as dotted text too.
struct DatagramSender {
    uint32_t address;
    uint16_t port;
    const std::string& text;
};

struct TriageOutcome {
    bool queue = true;  // queue size octets at bytes, in the form given
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    PacketForm form = PacketForm::Datagram;
    const uint8_t* reply = nullptr;  // replySize octets to send back to the sender
    size_t replySize = 0;
    // Why a datagram kept from the queue was refused here (SNMPv3: user,
    // level, digest, time window, decryption); None when it was not.
    RefusalReason refusal = RefusalReason::None;
};

// The outcome for a datagram that is queued as it came, unanswered.
inline TriageOutcome QueueAsReceived(const uint8_t* data, size_t size) {
    TriageOutcome outcome;
    outcome.bytes = data;
    outcome.size = size;
    return outcome;
}

class ReceiveTriage {
public:
    // settings must outlive the triage; they are read, never copied, as the
    // intake pass reads them, so both judge a datagram alike.
    explicit ReceiveTriage(const TrapSettings& settings) : settings_(settings) {}

    // SNMPv3 messages are handed to usm (which must outlive the triage);
    // without one they are queued as they came, and the intake pass refuses
    // them as not decodable.
    void SetUsmReceiver(UsmReceiver* usm) { usm_ = usm; }

    TriageOutcome Handle(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs);

private:
    TriageOutcome AnswerV2cInform(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs);
    TriageOutcome ReceiveV3(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs);
    // True when the sender filter accepts a notification with these fields.
    bool SenderAccepted(const std::string& agentAddress, const DatagramSender& sender) const;

    const TrapSettings& settings_;
    UsmReceiver* usm_ = nullptr;
    InformResendFilter resends_;
    uint8_t reply_[kMaxInformResponse] = {};
    uint8_t plain_[kMaxDatagram] = {};     // an SNMPv3 scoped PDU, decrypted
    uint8_t response_[kMaxDatagram] = {};  // the Response-PDU that an SNMPv3 answer wraps
};

// The cheap look taken at every datagram: an SNMPv2c message (version 1)
// whose PDU is an InformRequest. Nothing else is decoded on the receive thread.
bool IsV2cInform(const uint8_t* data, size_t size);
