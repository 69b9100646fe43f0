#pragma once
// Incoming SNMPv3 notifications under the User-based Security Model
// (RFC 3414 3.2, RFC 3412 7.2), from the datagram to the plaintext scoped
// PDU: user, level, authentication, timeliness and decryption, the Reports
// of engine discovery and of a wrong time, and the Response to an INFORM.
//
// Traps come from their sender's own authoritative engine, whose ID is
// learnt from the messages (keys are localized for it on arrival); INFORMs
// are sent to Dovrel's engine, which their senders discover first. One
// instance serves one thread. Time is passed in (seconds, one clock).
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/refusal_reason.h"
#include "snmp/usm_engine_times.h"
#include "snmp/usm_key_cache.h"
#include "snmp/usm_local_engine.h"
#include "snmp/usm_message.h"
#include "snmp/usm_users.h"

// msgMaxSize of what Dovrel sends: the receiver's datagram bound.
constexpr int32_t kUsmMaxMessageSize = 1500;

enum class UsmVerdict : uint8_t {
    Notification,  // an SNMPv2-Trap or InformRequest to decode and announce
    Answered,      // engine discovery: a Report to send back, nothing to announce
    Refused,
};

// The caller's buffers; neither grows. scopedPdu receives the plaintext
// scoped PDU of a notification, reply a Report to send back to the sender.
// A datagram's size is enough for both.
struct UsmBuffers {
    uint8_t* scopedPdu = nullptr;
    size_t scopedPduCapacity = 0;
    uint8_t* reply = nullptr;
    size_t replyCapacity = 0;
};

struct UsmResult {
    UsmVerdict verdict = UsmVerdict::Refused;
    RefusalReason refusal = RefusalReason::NotDecodable;  // None unless refused
    size_t replySize = 0;  // a Report in buffers.reply to send to the sender (discovery, wrong time)
    // Of a notification: the scoped PDU at the start of buffers.scopedPdu,
    // its positions (context engine ID and name, the PDU and its tag) relative to it.
    ScopedPdu scoped;
    const UsmUser* user = nullptr;
    SecurityLevel level = SecurityLevel::NoAuthNoPriv;
    int32_t msgId = 0;
    int32_t msgMaxSize = 0;
};

constexpr uint8_t kUsmStatsUnknownEngineIds[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x0F, 0x01, 0x01, 0x04, 0x00};
constexpr uint8_t kUsmStatsNotInTimeWindows[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x0F, 0x01, 0x01, 0x02, 0x00};

class UsmReceiver {
public:
    UsmReceiver(Crypto& crypto, UsmUserTable users, const LocalEngine& engine,
                size_t keyCacheCapacity = kKeyCacheCapacity, size_t engineTableCapacity = kEngineTableCapacity);

    UsmResult Receive(const uint8_t* datagram, size_t size, int64_t nowSeconds, const UsmBuffers& buffers);

    // The SNMPv3 Response message to an InformRequest that Receive accepted,
    // around responsePdu (a whole Response-PDU item): same user, level,
    // msgID, context engine ID and name (read from scopedPdu, the buffer the
    // request was received into), from Dovrel's engine. Returns its size in
    // out, 0 when it cannot be made or exceeds the sender's msgMaxSize.
    size_t WrapResponse(const UsmResult& request, const uint8_t* scopedPdu, const uint8_t* responsePdu,
                        size_t responsePduSize, int64_t nowSeconds, uint8_t* out, size_t capacity);

    const LocalEngine& Engine() const { return engine_; }
    const UsmUserTable& Users() const { return users_; }
    size_t KnownEngines() const { return engineTimes_.Size(); }
    size_t CachedKeys() const { return keyCache_.Size(); }
    uint32_t UnknownEngineIds() const { return unknownEngineIds_; }
    uint32_t NotInTimeWindows() const { return notInTimeWindows_; }

private:
    const LocalizedKeys* KeysFor(const UsmUser& user, const uint8_t* engineId, size_t engineIdSize,
                                 LocalizedKeys& scratch);
    size_t UserIndex(const UsmUser& user) const { return static_cast<size_t>(&user - users_.users.data()); }
    // A Report carrying one usmStats counter, answering message.
    size_t Report(const UsmMessage& message, const uint8_t* datagram, const uint8_t* counterOid, size_t oidSize,
                  uint32_t counter, const UsmUser* user, const LocalizedKeys* keys, int32_t requestId,
                  int64_t nowSeconds, const UsmBuffers& buffers);
    bool TimelyForLocalEngine(const UsmMessage& message, int64_t nowSeconds) const;
    uint64_t NextSalt() { return salt_++; }

    Crypto& crypto_;
    UsmUserTable users_;
    LocalEngine engine_;
    UsmKeyCache keyCache_;
    UsmEngineTimes engineTimes_;
    uint64_t salt_ = 0;
    uint32_t unknownEngineIds_ = 0;
    uint32_t notInTimeWindows_ = 0;
};
