#pragma once
// What the receive thread does with each datagram before the intake pass
// sees it. An SNMPv2c INFORM whose community and sender are accepted is
// answered here, at once: its sender waits a second or so for the answer,
// while the intake pass runs only every few seconds. A resent copy (same
// sender address, port and request-id within a minute) is answered again but
// not queued, so that it is announced once. Everything else is queued as it
// came, and the intake pass decides (and counts) what it refuses. Portable:
// the socket sends the reply; the time is passed in. One thread owns it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/trap_settings.h"
#include "snmp/inform_resend_filter.h"
#include "snmp/inform_response.h"

// A datagram's source as the socket gives it: address and port in network
// byte order, the address as dotted text too.
struct DatagramSender {
    uint32_t address;
    uint16_t port;
    const std::string& text;
};

struct TriageOutcome {
    bool queue = true;               // hand the datagram to the intake pass
    const uint8_t* reply = nullptr;  // replySize octets to send back to the sender
    size_t replySize = 0;
};

class ReceiveTriage {
public:
    // settings must outlive the triage; they are read, never copied, as the
    // intake pass reads them, so both judge a datagram alike.
    explicit ReceiveTriage(const TrapSettings& settings) : settings_(settings) {}

    TriageOutcome Handle(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs);

private:
    TriageOutcome AnswerV2cInform(const uint8_t* data, size_t size, const DatagramSender& sender, uint64_t nowMs);

    const TrapSettings& settings_;
    InformResendFilter resends_;
    uint8_t reply_[kMaxInformResponse] = {};
};

// The cheap look taken at every datagram: an SNMPv2c message (version 1)
// whose PDU is an InformRequest. Nothing else is decoded on the receive thread.
bool IsV2cInform(const uint8_t* data, size_t size);
