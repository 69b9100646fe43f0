// The sender line with a device's name, cut to the width of its control.
#include "alert/sender_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Every byte one unit wide, so a width is a byte count.
int Bytes(const std::string& s) { return static_cast<int>(s.size()); }
}  // namespace

TEST(SenderLine, NameBeforeTheAddressAndTheAddressBack) {
    EXPECT_EQ(SenderLine("192.0.2.10"), "From: 192.0.2.10");
    EXPECT_EQ(NamedSenderLine("Server room UPS", "192.0.2.10"), "From: Server room UPS (192.0.2.10)");
    EXPECT_EQ(SenderAddress(SenderLine("192.0.2.10")), "192.0.2.10");
}

TEST(FitNamedSenderLine, WholeWhenItFitsElseTheNameCutAndTheAddressKept) {
    const std::string whole = "From: Server room UPS (192.0.2.10)";
    EXPECT_EQ(FitNamedSenderLine("Server room UPS", "192.0.2.10", "...", 1252, Bytes(whole), Bytes), whole);
    // One unit less: the name loses as much as the ellipsis needs.
    EXPECT_EQ(FitNamedSenderLine("Server room UPS", "192.0.2.10", "...", 1252, Bytes(whole) - 1, Bytes),
              "From: Server room... (192.0.2.10)");
    // Room for "Server " and the ellipsis: the blank before it goes.
    EXPECT_EQ(FitNamedSenderLine("Server room UPS", "192.0.2.10", "...", 1252, 29, Bytes),
              "From: Server... (192.0.2.10)");
    // No room even for the ellipsis: the plain line, as without a name.
    EXPECT_EQ(FitNamedSenderLine("Server room UPS", "192.0.2.10", "...", 1252, 20, Bytes), "From: 192.0.2.10");
}

TEST(FitNamedSenderLine, NeverHalfADoubleByteCharacter) {
    // "サーバー室" in Shift-JIS: five double-byte characters.
    const std::string name = "\x83\x54\x81\x5b\x83\x6f\x81\x5b\x8e\xba";
    const std::string ellipsis = "\x81\x63";  // "…"
    for (int width = 22; width <= 35; ++width) {
        const std::string line = FitNamedSenderLine(name, "10.0.0.1", ellipsis, 932, width, Bytes);
        SCOPED_TRACE(width);
        EXPECT_LE(Bytes(line), width);
        if (line == "From: 10.0.0.1") continue;
        // What stands between "From: " and the ellipsis is whole characters.
        const std::size_t kept = line.find(ellipsis, 6) == std::string::npos ? name.size() : line.find(ellipsis, 6) - 6;
        EXPECT_EQ(kept % 2, 0u) << line;
        EXPECT_EQ(line.substr(6, kept), name.substr(0, kept));
        EXPECT_EQ(line.substr(line.size() - 11), " (10.0.0.1)");
    }
}
