// Feeds the intake path with every truncation and every one-octet change of
// the captured traps: nothing may crash, read outside a datagram or leak, and
// every queued event must carry a number the decoder can produce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/intake_state.h"
#include "core/work_gate.h"
#include "snmp/trap_decoder.h"
#include "snmp/trap_intake.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Capture {
    std::string name;
    Bytes bytes;
    int32_t expected;  // from the file name: <what>-<number>.bin
};

std::vector<Capture> LoadCaptures() {
    std::vector<Capture> out;
    const std::filesystem::path dir = std::filesystem::path(DOVREL_TEST_DATA) / "traps";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".bin") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        Capture c;
        c.name = entry.path().filename().string();
        c.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::string stem = entry.path().stem().string();
        c.expected = std::atoi(stem.substr(stem.rfind('-') + 1).c_str());
        out.push_back(std::move(c));
    }
    std::sort(out.begin(), out.end(), [](const Capture& a, const Capture& b) { return a.name < b.name; });
    return out;
}

bool IsMessageNumber(int32_t n) {
    static const std::set<int32_t> numbers = [] {
        std::set<int32_t> s = {1, 2, 3, 5, 6, 110, 120, 130};
        for (int k = 1; k <= 24; ++k) s.insert(10 + 2 * k);
        for (int c = 3; c <= 7; ++c) s.insert({110 + c, 120 + c});
        return s;
    }();
    return numbers.count(n) != 0;
}

RawPacket* MakePacket(const Bytes& bytes) {
    auto* p = new RawPacket;
    p->senderAddress = "127.0.0.1";
    std::copy(bytes.begin(), bytes.end(), p->bytes);
    p->length = static_cast<int32_t>(bytes.size());
    return p;
}

// Decodes an exact-size heap copy, so that a read past the end is caught by
// the address sanitizer (a RawPacket's 1500-octet buffer would hide it).
int32_t DecodeExact(const Bytes& bytes) {
    const Bytes exact(bytes);
    TrapFields fields;
    const int32_t n = ParseTrap(exact.data(), exact.size(), "vandor", fields);
    if (n != 0) {
        EXPECT_GE(fields.specificCode, 0);
        EXPECT_LE(fields.specificCode, 255);
        EXPECT_LE(fields.outletName.size(), 512u);
        EXPECT_LE(fields.agentAddress.size(), 15u);
    }
    return n;
}

// Runs the datagrams through one intake pass and checks that every packet
// was freed and that the queued events are, in order, those whose datagrams
// decode to a number other than 0.
void RunThroughIntake(const std::vector<Bytes>& datagrams, const std::string& what) {
    IntakeState app;
    RawPacketQueue raw;
    std::vector<int32_t> expected;
    for (const Bytes& d : datagrams) {
        ASSERT_TRUE(raw.Append(MakePacket(d)));
        const int32_t n = DecodeExact(d);
        if (n != 0) expected.push_back(n);
    }
    OpenGate gate;
    EXPECT_EQ(RunIntakePass(raw, app, gate), static_cast<int>(expected.size())) << what;
    EXPECT_EQ(raw.Count(), 0u) << what;
    std::vector<int32_t> queued;
    for (auto* node = app.pendingEvents.Head(); node; node = app.pendingEvents.Next(node)) {
        queued.push_back(node->item->messageNumber);
        EXPECT_FALSE(node->item->fromText.empty()) << what;
    }
    EXPECT_EQ(queued, expected) << what;
}

}  // namespace

TEST(IntakeMutation, CapturesDecodeToTheirNumbers) {
    const std::vector<Capture> captures = LoadCaptures();
    ASSERT_GE(captures.size(), 5u) << "captured traps missing under " << DOVREL_TEST_DATA;
    for (const Capture& c : captures) EXPECT_EQ(DecodeExact(c.bytes), c.expected) << c.name;
}

TEST(IntakeMutation, EveryTruncation) {
    const std::vector<Capture> captures = LoadCaptures();
    ASSERT_FALSE(captures.empty());
    for (const Capture& c : captures) {
        std::vector<Bytes> cuts;
        for (size_t n = 0; n < c.bytes.size(); ++n) {
            cuts.emplace_back(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(n));
            const int32_t number = DecodeExact(cuts.back());
            // A cut datagram yields 0, 1 or what was already decided before the cut.
            EXPECT_TRUE(number == 0 || number == 1 || number == c.expected) << c.name << " cut at " << n << ": " << number;
        }
        RunThroughIntake(cuts, c.name + " truncations");
    }
}

TEST(IntakeMutation, EveryOctetValueAtEveryOffset) {
    const std::vector<Capture> captures = LoadCaptures();
    ASSERT_FALSE(captures.empty());
    for (const Capture& c : captures) {
        for (size_t off = 0; off < c.bytes.size(); ++off) {
            std::vector<Bytes> variants;
            for (int v = 0; v < 256; ++v) {
                variants.push_back(c.bytes);
                variants.back()[off] = static_cast<uint8_t>(v);
                const int32_t number = DecodeExact(variants.back());
                EXPECT_TRUE(number == 0 || IsMessageNumber(number)) << c.name << " @" << off << "=" << v << ": " << number;
            }
            RunThroughIntake(variants, c.name + " offset " + std::to_string(off));
            if (::testing::Test::HasFailure()) return;
        }
    }
}
