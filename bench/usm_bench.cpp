// Nanoseconds per datagram of the work Dovrel does for a trap once it has
// been read from the socket: the receive thread's triage (for SNMPv3 the
// user-based security model: key lookup, HMAC, AES over Windows CNG) and the
// intake pass's decoding, for an SNMPv1 trap and its SNMPv2c and SNMPv3
// twins. No socket, no alert: what the datagram's version adds.
//
//   usm_bench USER_LINE NAME=FILE...
//
// USER_LINE is one [usKarn_v3] entry. Each datagram is handled in nine rounds
// of about 50 ms; the best round is printed, with the message number it gave.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"
#include "snmp/usm_receiver.h"
#include "win/cng_crypto.h"

namespace {

using Clock = std::chrono::steady_clock;
volatile int32_t g_sink;

int32_t HandleOnce(ReceiveTriage& triage, const std::vector<uint8_t>& datagram, const DatagramSender& from) {
    const TriageOutcome o = triage.Handle(datagram.data(), datagram.size(), from, 1000000);
    if (!o.queue) return 0;
    const DecodedDatagram d = o.form == PacketForm::V3Pdu ? DecodeV3Pdu(o.bytes, o.size)
                                                          : DecodeDatagram(o.bytes, o.size, "vandor", true);
    return d.messageNumber;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s USER_LINE NAME=FILE...\n", argv[0]);
        return 2;
    }
    CngCrypto crypto;
    UsmUserTable users;
    UsmUser user;
    if (!ParseUsmUser(argv[1], user)) {
        std::fprintf(stderr, "not a user entry: %s\n", argv[1]);
        return 2;
    }
    users.users.push_back(user);
    LocalEngine engine;
    engine.idSize = kGeneratedEngineIdSize;
    if (!MakeEngineId(crypto, engine.id)) return 2;
    engine.boots = 1;
    UsmReceiver usm(crypto, std::move(users), engine);
    TrapSettings settings;
    settings.acceptV2c = true;
    ReceiveTriage triage(settings);
    triage.SetUsmReceiver(&usm);
    const std::string senderText = "127.0.0.1";
    const DatagramSender from{0x0100007F, 0x3930, senderText};

    std::printf("%-18s %6s %7s %12s\n", "datagram", "octets", "number", "ns");
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) continue;
        std::ifstream in(arg.substr(eq + 1), std::ios::binary);
        const std::vector<uint8_t> datagram((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int32_t number = HandleOnce(triage, datagram, from);
        long iterations = 100;
        for (;;) {
            const auto start = Clock::now();
            for (long n = 0; n < iterations; ++n) g_sink = HandleOnce(triage, datagram, from);
            if (std::chrono::duration<double>(Clock::now() - start).count() > 0.05) break;
            iterations *= 2;
        }
        double best = 1e18;
        for (int round = 0; round < 9; ++round) {
            const auto start = Clock::now();
            for (long n = 0; n < iterations; ++n) g_sink = HandleOnce(triage, datagram, from);
            const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / iterations;
            if (ns < best) best = ns;
        }
        std::printf("%-18s %6zu %7d %12.1f\n", arg.substr(0, eq).c_str(), datagram.size(), number, best);
    }
    return 0;
}
