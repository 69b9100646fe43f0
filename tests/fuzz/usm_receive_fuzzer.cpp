// libFuzzer target: the SNMPv3 receiver (message reader, user and level
// checks, authentication, timeliness, decryption, Reports, the Response to
// an INFORM) over arbitrary datagrams, the receive thread's triage around it,
// and the users' entry parser over the same octets. The crypto is a deterministic double
// so that the fuzzer can reach what follows authentication: every HMAC is
// zeros (a message whose MAC octets are zero is authentic) and every AES
// block encrypts to zeros (CFB128 leaves the text as it is). Besides the
// sanitizers' findings, it traps on any result the receiver must never give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"
#include "snmp/usm_receiver.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

class ZeroRun final : public HashRun {
public:
    explicit ZeroRun(size_t size) : size_(size) {}
    bool Update(const uint8_t*, size_t) override { return true; }
    bool Finish(uint8_t* digest) override {
        std::memset(digest, 0, size_);
        return true;
    }

private:
    size_t size_;
};

class ZeroBlockKey final : public AesBlockKey {
public:
    bool EncryptBlock(const uint8_t*, uint8_t out[kAesBlockSize]) override {
        std::memset(out, 0, kAesBlockSize);
        return true;
    }
};

class FuzzCrypto final : public Crypto {
public:
    bool Supports(HashAlgorithm algorithm) const override { return algorithm != HashAlgorithm::Sha224; }
    std::unique_ptr<HashRun> StartHash(HashAlgorithm algorithm) override {
        return Supports(algorithm) ? std::make_unique<ZeroRun>(HashLength(algorithm)) : nullptr;
    }
    std::unique_ptr<HashRun> StartHmac(HashAlgorithm algorithm, const uint8_t*, size_t) override {
        return StartHash(algorithm);
    }
    std::unique_ptr<AesBlockKey> NewAes128Key(const uint8_t*) override { return std::make_unique<ZeroBlockKey>(); }
    bool Random(uint8_t* out, size_t size) override {
        std::memset(out, 0x5A, size);
        return true;
    }
};

UsmUserTable Users(Crypto& crypto) {
    static const char* const kLines[] = {
        "ups-md5,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,none,",
        "ups-sha,SHA,1584901daad7f138e411ab4c06bf1bb7157fd117,AES,bc0857826824e74092db24c985944909e6a56fab",
        "ups-sha224,SHA-224,60587fe451a3a6a6812f174be2013dc1ed1389bf5bb6bbeea0cb3e4b,AES,"
        "ac740ca263058c0d88599be05860a478a0d3fe91dc986ce7fb7dd1ce",
        "ups-sha512,SHA-512,50ff424b307efac71972ba4632e82ac5735d477d6afc2d2ef0a7d4832c849f7e0be28c273f401251a32de6960"
        "6d86fa2b8b9677c329970143a30eeca9e9dd8be,AES,4e2802f07ce6940b5ed087b607a4e493de3f90cfe40ce4014d35ec81e7efb3f5"
        "e661bc5311dc29fe109fb7424092889753a0049f2855d6d5e13e724d691ae000",
        "ups-des,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,DES,d8bd3b2ef7f88eef4d35cbeadc63db27",
        "ups-plain,none,,none,",
    };
    UsmUserTable table;
    for (const char* line : kLines) {
        UsmUser user;
        Check(ParseUsmUser(line, user));
        if (user.auth != AuthProtocol::None && !crypto.Supports(AuthHash(user.auth))) user.supported = false;
        table.users.push_back(user);
    }
    return table;
}

// Dovrel's engine: the engine ID of the pysnmp captures, boots 3, time 100.
LocalEngine Engine() {
    static const uint8_t kId[] = {0x80, 0x00, 0x00, 0x00, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0x0A, 0x0B, 0x0C, 0x0D};
    LocalEngine engine;
    std::memcpy(engine.id, kId, sizeof kId);
    engine.idSize = sizeof kId;
    engine.boots = 3;
    engine.startSeconds = 0;
    return engine;
}

constexpr int64_t kNow = 100;

void CheckReply(const uint8_t* reply, size_t size) {
    if (size == 0) return;
    UsmMessage message;
    Check(ReadUsmMessage(reply, size, message) == RefusalReason::None);
    Check(!message.Reportable());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzCrypto crypto;
    UsmReceiver receiver(crypto, Users(crypto), Engine(), 4, 4);
    uint8_t scoped[1500];
    uint8_t reply[1500];
    const UsmBuffers buffers{scoped, sizeof scoped, reply, sizeof reply};

    // Twice: the second meets what the first left in the engine table.
    for (int round = 0; round < 2; ++round) {
        const UsmResult r = receiver.Receive(data, size, kNow + round * 200, buffers);
        Check(r.replySize <= sizeof reply);
        CheckReply(reply, r.replySize);
        switch (r.verdict) {
        case UsmVerdict::Refused:
            Check(r.refusal != RefusalReason::None && r.refusal < RefusalReason::Count);
            Check(r.replySize == 0 || r.refusal == RefusalReason::NotInTimeWindow);
            break;
        case UsmVerdict::Answered:
            Check(r.refusal == RefusalReason::None && r.replySize > 0);
            break;
        case UsmVerdict::Notification: {
            Check(r.refusal == RefusalReason::None && r.user != nullptr && r.replySize == 0);
            Check(r.scoped.size <= sizeof scoped && r.scoped.pduPos < r.scoped.size);
            Check(scoped[r.scoped.pduPos] == r.scoped.pduTag);
            Check(r.scoped.pduTag == kTagSnmpV2TrapPdu || r.scoped.pduTag == kTagInformRequestPdu);
            Check(r.scoped.contextEngineId.pos + r.scoped.contextEngineId.size <= r.scoped.size);
            Check(r.scoped.contextName.pos + r.scoped.contextName.size <= r.scoped.size);
            Check(r.level == r.user->Level());
            uint8_t response[1500];
            uint8_t out[1500];
            const size_t pduSize = r.scoped.size - r.scoped.pduPos;
            std::memcpy(response, scoped + r.scoped.pduPos, pduSize);
            response[0] = kTagResponsePdu;
            const size_t built = receiver.WrapResponse(r, scoped, response, pduSize, kNow, out, sizeof out);
            Check(built == 0 || r.scoped.pduTag == kTagInformRequestPdu);
            Check(built <= static_cast<size_t>(r.msgMaxSize));
            CheckReply(out, built);
            break;
        }
        }
    }
    Check(receiver.KnownEngines() <= 4 && receiver.CachedKeys() <= 4);

    // The receive thread's triage over a receiver of its own: what it
    // queues lies within its buffers and is what the intake pass decodes,
    // what it sends back is a well-formed message, a refusal keeps a reason.
    static const TrapSettings settings;
    static const std::string sender = "192.0.2.1";
    UsmReceiver triageReceiver(crypto, Users(crypto), Engine(), 4, 4);
    ReceiveTriage triage(settings);
    triage.SetUsmReceiver(&triageReceiver);
    for (int round = 0; round < 2; ++round) {
        const DatagramSender from{0x010200C0, 16200, sender};
        const TriageOutcome o = triage.Handle(data, size, from, static_cast<uint64_t>(kNow + round * 200) * 1000);
        Check(o.replySize <= kMaxInformResponse);
        if (o.form == PacketForm::V3Pdu) {
            Check(o.queue && o.refusal == RefusalReason::None && o.size <= 1500);
            DecodeV3Pdu(o.bytes, o.size);
            CheckReply(o.reply, o.replySize);
        } else if (o.queue) {
            Check(o.bytes == data && o.size == size);
        } else {
            Check(o.refusal != RefusalReason::None || o.replySize > 0);
        }
    }

    // The same octets as a [usKarn_v3] entry, the settings file being typed by hand.
    UsmUser user;
    if (ParseUsmUser(std::string(reinterpret_cast<const char*>(data), size < 512 ? size : 512), user)) {
        Check(!user.name.empty() && user.name.size() <= kMaxUserNameSize);
        Check(user.name.find(',') == std::string::npos);
        Check(user.auth != AuthProtocol::None || user.Level() == SecurityLevel::NoAuthNoPriv);
    }
    return 0;
}
