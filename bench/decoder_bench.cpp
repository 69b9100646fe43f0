// Nanoseconds per datagram: ParseTrap beside net-snmp's own parse of the
// same bytes (snmp_parse: version, community, PDU and every binding).
//
//   decoder_bench COMMUNITY NAME=FILE...
//
// Each datagram is parsed repeatedly in nine rounds of about 50 ms per
// parser, the two parsers' rounds taking turns; the best round of each is
// printed, so a burst of load from other processes on the machine does not
// count against either parser.
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "snmp/trap_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    std::string name;
    std::vector<uint8_t> bytes;
};

volatile int32_t g_sink;  // keeps the parses from being optimised away

// Iterations that take about 50 ms.
template <class F>
long Calibrate(F&& parse) {
    long iterations = 1000;
    for (;;) {
        auto start = Clock::now();
        for (long i = 0; i < iterations; ++i) parse();
        if (std::chrono::duration<double>(Clock::now() - start).count() > 0.05) return iterations;
        iterations *= 2;
    }
}

template <class F>
double NanosPerCall(F&& parse, long iterations) {
    auto start = Clock::now();
    for (long i = 0; i < iterations; ++i) parse();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / iterations;
}

// net-snmp's parse of one whole message; returns the PDU command (A4 for a
// v1 trap) or -1 when the library rejects the message.
int NetSnmpParse(netsnmp_session& session, std::vector<uint8_t>& bytes) {
    netsnmp_pdu* pdu = snmp_pdu_create(0);
    int rc = snmp_parse(nullptr, &session, pdu, bytes.data(), bytes.size());
    int command = rc == 0 ? pdu->command : -1;
    snmp_free_pdu(pdu);
    return command;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s COMMUNITY NAME=FILE...\n", argv[0]);
        return 2;
    }
    const std::string community = argv[1];
    std::vector<Sample> samples;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto eq = arg.find('=');
        std::ifstream in(arg.substr(eq + 1), std::ios::binary);
        if (eq == std::string::npos || !in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        samples.push_back({arg.substr(0, eq), {std::istreambuf_iterator<char>(in), {}}});
    }

    netsnmp_session session;
    snmp_sess_init(&session);

    std::printf("%-18s %6s %7s %8s %12s %12s %7s\n", "trap", "octets", "number", "net-snmp", "ParseTrap ns",
                "net-snmp ns", "ratio");
    for (Sample& s : samples) {
        TrapFields fields;
        const int32_t number = ParseTrap(s.bytes.data(), s.bytes.size(), community, fields);
        const int command = NetSnmpParse(session, s.bytes);
        auto parseOurs = [&] {
            TrapFields f;
            g_sink = ParseTrap(s.bytes.data(), s.bytes.size(), community, f);
        };
        auto parseTheirs = [&] { g_sink = NetSnmpParse(session, s.bytes); };
        const long oursIterations = Calibrate(parseOurs);
        const long theirsIterations = Calibrate(parseTheirs);
        double ours = 1e30, theirs = 1e30;
        for (int round = 0; round < 9; ++round) {
            ours = std::min(ours, NanosPerCall(parseOurs, oursIterations));
            theirs = std::min(theirs, NanosPerCall(parseTheirs, theirsIterations));
        }
        char commandText[16];
        std::snprintf(commandText, sizeof commandText, command < 0 ? "reject" : "%02X", command);
        std::printf("%-18s %6zu %7d %8s %12.1f %12.1f %6.1fx\n", s.name.c_str(), s.bytes.size(), number,
                    commandText, ours, theirs, theirs / ours);
    }
    return 0;
}
