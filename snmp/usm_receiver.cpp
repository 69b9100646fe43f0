#include "snmp/usm_receiver.h"

#include <cstring>

#include "snmp/ber_back_writer.h"
#include "snmp/ber_tags.h"
#include "snmp/usm_auth.h"
#include "snmp/usm_outgoing.h"
#include "snmp/usm_privacy.h"

namespace {

constexpr uint8_t kTagCounter32 = 0x41;

UsmResult Refused(RefusalReason reason, size_t replySize = 0) {
    UsmResult result;
    result.refusal = reason;
    result.replySize = replySize;
    return result;
}

// A Report to send back and nothing to announce; refused when none was made.
UsmResult Answered(size_t replySize) {
    if (replySize == 0) return Refused(RefusalReason::NotDecodable);
    UsmResult result;
    result.verdict = UsmVerdict::Answered;
    result.refusal = RefusalReason::None;
    result.replySize = replySize;
    return result;
}

// Report-PDU (RFC 3416) with one variable binding, name = value.
size_t BuildReportPdu(int32_t requestId, const uint8_t* oid, size_t oidSize, uint32_t counter, uint8_t* out,
                      size_t capacity) {
    BerBackWriter w(out, capacity);
    w.Integer(kTagCounter32, counter);
    w.Octets(kTagObjectId, oid, oidSize);
    w.Wrap(kTagSequence, 0);
    w.Wrap(kTagSequence, 0);
    w.Integer(kTagInteger, 0);  // error-index
    w.Integer(kTagInteger, 0);  // error-status
    w.Integer(kTagInteger, requestId);
    w.Wrap(kTagReportPdu, 0);
    if (!w.Ok()) return 0;
    const size_t size = w.Size();
    std::memmove(out, w.Front(), size);
    return size;
}

}  // namespace

UsmReceiver::UsmReceiver(Crypto& crypto, UsmUserTable users, const LocalEngine& engine, size_t keyCacheCapacity,
                         size_t engineTableCapacity)
    : crypto_(crypto), users_(std::move(users)), engine_(engine), keyCache_(keyCacheCapacity),
      engineTimes_(engineTableCapacity) {
    // RFC 3826 3.1.2.1: the salt starts at a random value and counts up, so
    // that no two messages of one engine share an IV.
    uint8_t seed[8] = {};
    crypto_.Random(seed, sizeof seed);
    for (uint8_t octet : seed) salt_ = salt_ << 8 | octet;
}

const LocalizedKeys* UsmReceiver::KeysFor(const UsmUser& user, const uint8_t* engineId, size_t engineIdSize,
                                          LocalizedKeys& scratch) {
    if (const LocalizedKeys* cached = keyCache_.Find(UserIndex(user), engineId, engineIdSize)) return cached;
    return LocalizeUserKeys(crypto_, user, engineId, engineIdSize, scratch) ? &scratch : nullptr;
}

bool UsmReceiver::TimelyForLocalEngine(const UsmMessage& message, int64_t nowSeconds) const {
    // RFC 3414 3.2 step 7a: same boots, time within 150 s either way.
    if (engine_.boots >= kMaxEngineBoots || message.engineBoots != engine_.boots) return false;
    const int64_t difference = static_cast<int64_t>(message.engineTime) - engine_.Time(nowSeconds);
    return difference <= static_cast<int64_t>(kTimeWindowSeconds) && -difference <= static_cast<int64_t>(kTimeWindowSeconds);
}

size_t UsmReceiver::Report(const UsmMessage& message, const uint8_t* datagram, const uint8_t* counterOid,
                           size_t oidSize, uint32_t counter, const UsmUser* user, const LocalizedKeys* keys,
                           int32_t requestId, int64_t nowSeconds, const UsmBuffers& buffers) {
    // Only a sender that asked for Reports gets one (RFC 3412 7.1 step 3).
    if (!message.Reportable() || !buffers.reply) return 0;
    uint8_t pdu[64];
    OutgoingMessage report;
    report.pduSize = BuildReportPdu(requestId, counterOid, oidSize, counter, pdu, sizeof pdu);
    report.pdu = pdu;
    report.msgId = message.msgId;
    report.msgMaxSize = kUsmMaxMessageSize;
    report.engineId = engine_.id;
    report.engineIdSize = engine_.idSize;
    report.engineBoots = engine_.boots;
    report.engineTime = engine_.Time(nowSeconds);
    report.userName = datagram + message.userName.pos;
    report.userNameSize = message.userName.size;
    report.contextEngineId = engine_.id;
    report.contextEngineIdSize = engine_.idSize;
    // A wrong time is reported authenticated, never encrypted, so the sender
    // can trust the boots and time it learns (RFC 3414 3.2 step 7a).
    if (user && keys) {
        report.level = SecurityLevel::AuthNoPriv;
        report.auth = user->auth;
        report.keys = keys;
    }
    const size_t capacity = buffers.replyCapacity < static_cast<size_t>(message.msgMaxSize)
                                ? buffers.replyCapacity
                                : static_cast<size_t>(message.msgMaxSize);
    return report.pduSize ? BuildUsmMessage(crypto_, report, buffers.reply, capacity) : 0;
}

UsmResult UsmReceiver::Receive(const uint8_t* datagram, size_t size, int64_t nowSeconds, const UsmBuffers& buffers) {
    UsmMessage message;
    const RefusalReason unreadable = ReadUsmMessage(datagram, size, message);
    if (unreadable != RefusalReason::None) return Refused(unreadable);

    const uint8_t* engineId = datagram + message.engineId.pos;
    const size_t engineIdSize = message.engineId.size;
    const bool toLocalEngine = engine_.Is(engineId, engineIdSize);
    // Discovery (RFC 3414 4): no engine ID yet; the Report tells Dovrel's.
    if (engineIdSize == 0) {
        ScopedPdu probe;
        const bool plain = !message.encrypted &&
                           ReadScopedPdu(datagram + message.data.pos, message.data.size, probe);
        return Answered(Report(message, datagram, kUsmStatsUnknownEngineIds, sizeof kUsmStatsUnknownEngineIds,
                               ++unknownEngineIds_, nullptr, nullptr, plain ? probe.requestId : 0, nowSeconds,
                               buffers));
    }

    const UsmUser* user = users_.Find(datagram + message.userName.pos, message.userName.size);
    if (!user) return Refused(RefusalReason::UnknownUser);
    // A user's messages come at exactly its configured level: a device set
    // to less than the site asked for is refused, not accepted.
    if (!user->supported || user->Level() != message.Level()) return Refused(RefusalReason::UnsupportedSecurity);

    if (!buffers.scopedPdu || message.data.size > buffers.scopedPduCapacity) return Refused(RefusalReason::NotDecodable);
    LocalizedKeys scratch;
    const LocalizedKeys* keys = nullptr;
    if (message.Level() == SecurityLevel::NoAuthNoPriv) {
        std::memcpy(buffers.scopedPdu, datagram + message.data.pos, message.data.size);
    } else {
        keys = KeysFor(*user, engineId, engineIdSize, scratch);
        if (!keys) return Refused(RefusalReason::UnsupportedSecurity);
        if (!VerifyMac(crypto_, user->auth, keys->auth, datagram, size, message.authParams))
            return Refused(RefusalReason::WrongDigest);

        if (toLocalEngine ? !TimelyForLocalEngine(message, nowSeconds)
                          : !engineTimes_.Timely(engineId, engineIdSize, message.engineBoots, message.engineTime,
                                                 nowSeconds)) {
            ++notInTimeWindows_;
            ScopedPdu plain;
            const bool readable = !message.encrypted &&
                                  ReadScopedPdu(datagram + message.data.pos, message.data.size, plain);
            const size_t reply =
                toLocalEngine ? Report(message, datagram, kUsmStatsNotInTimeWindows, sizeof kUsmStatsNotInTimeWindows,
                                       notInTimeWindows_, user, keys, readable ? plain.requestId : 0, nowSeconds,
                                       buffers)
                              : 0;
            return Refused(RefusalReason::NotInTimeWindow, reply);
        }

        if (message.encrypted) {
            if (message.privParams.size != kAesSaltSize ||
                !DecryptScopedPdu(crypto_, keys->priv, message.engineBoots, message.engineTime,
                                  datagram + message.privParams.pos, datagram + message.data.pos, message.data.size,
                                  buffers.scopedPdu))
                return Refused(RefusalReason::CannotDecrypt);
        } else {
            std::memcpy(buffers.scopedPdu, datagram + message.data.pos, message.data.size);
        }
    }

    UsmResult result;
    if (!ReadScopedPdu(buffers.scopedPdu, message.data.size, result.scoped))
        return Refused(message.encrypted ? RefusalReason::CannotDecrypt : RefusalReason::NotDecodable);
    if (result.scoped.pduTag == kTagInformRequestPdu && !toLocalEngine) {
        // A request for another engine (one that was Dovrel's, say): the
        // sender learns the right one from the Report and sends again.
        return Answered(Report(message, datagram, kUsmStatsUnknownEngineIds, sizeof kUsmStatsUnknownEngineIds,
                               ++unknownEngineIds_, nullptr, nullptr, result.scoped.requestId, nowSeconds, buffers));
    }
    if (result.scoped.pduTag != kTagSnmpV2TrapPdu && result.scoped.pduTag != kTagInformRequestPdu)
        return Refused(RefusalReason::NotDecodable);

    if (keys) {
        if (keys == &scratch) keyCache_.Remember(UserIndex(*user), engineId, engineIdSize, *keys);
        if (!toLocalEngine)
            engineTimes_.Record(engineId, engineIdSize, message.engineBoots, message.engineTime, nowSeconds);
    }
    result.verdict = UsmVerdict::Notification;
    result.refusal = RefusalReason::None;
    result.user = user;
    result.level = message.Level();
    result.msgId = message.msgId;
    result.msgMaxSize = message.msgMaxSize;
    return result;
}

size_t UsmReceiver::WrapResponse(const UsmResult& request, const uint8_t* scopedPdu, const uint8_t* responsePdu,
                                 size_t responsePduSize, int64_t nowSeconds, uint8_t* out, size_t capacity) {
    if (request.verdict != UsmVerdict::Notification || request.scoped.pduTag != kTagInformRequestPdu || !request.user ||
        !scopedPdu || !responsePdu)
        return 0;
    const UsmUser& user = *request.user;
    LocalizedKeys scratch;
    const LocalizedKeys* keys = nullptr;
    if (request.level != SecurityLevel::NoAuthNoPriv) {
        keys = KeysFor(user, engine_.id, engine_.idSize, scratch);
        if (!keys) return 0;
    }
    OutgoingMessage response;
    response.msgId = request.msgId;
    response.msgMaxSize = kUsmMaxMessageSize;
    response.level = request.level;
    response.engineId = engine_.id;
    response.engineIdSize = engine_.idSize;
    response.engineBoots = engine_.boots;
    response.engineTime = engine_.Time(nowSeconds);
    response.userName = reinterpret_cast<const uint8_t*>(user.name.data());
    response.userNameSize = user.name.size();
    response.auth = user.auth;
    response.keys = keys;
    if (request.level == SecurityLevel::AuthPriv) response.salt = NextSalt();
    response.contextEngineId = scopedPdu + request.scoped.contextEngineId.pos;
    response.contextEngineIdSize = request.scoped.contextEngineId.size;
    response.contextName = scopedPdu + request.scoped.contextName.pos;
    response.contextNameSize = request.scoped.contextName.size;
    response.pdu = responsePdu;
    response.pduSize = responsePduSize;
    const size_t limit = static_cast<size_t>(request.msgMaxSize);
    return BuildUsmMessage(crypto_, response, out, capacity < limit ? capacity : limit);
}
