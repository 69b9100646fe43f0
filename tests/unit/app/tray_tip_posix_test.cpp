// The tooltip's text, read back through glibc's own code page tables: what
// the shell would show.
#include "app/tray_tip.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <limits>
#include <optional>

namespace {

// The text in UTF-8, or nothing when it is not valid in the code page (a
// double-byte character cut in half, a byte the code page does not have).
std::optional<std::string> Decoded(const std::string& bytes, const char* codePage) {
    iconv_t cd = iconv_open("UTF-8", codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = bytes, out(bytes.size() * 4 + 4, '\0');
    char* inp = in.data();
    char* outp = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t done = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

RefusalSummary Example() {
    RefusalSummary summary;
    summary.refused = 3;
    summary.lastReason = RefusalReason::WrongCommunity;
    summary.lastMinuteOfDay = 10 * 60 + 42;
    summary.lastSender = 0xC0000207;  // 192.0.2.7
    return summary;
}

}  // namespace

TEST(TrayTip, StaysTheProgramNameUntilSomethingIsRefused) {
    EXPECT_EQ(TrayTipText(RefusalSummary{}, 12, false, 1252), "Pelmora");
    EXPECT_EQ(TrayTipText(RefusalSummary{}, 12, true, 932), "Pelmora");
}

TEST(TrayTip, SaysWhatWasRefusedInEitherLanguage) {
    EXPECT_EQ(Decoded(TrayTipText(Example(), 12, false, 1252), "CP1252"),
              "Pelmora — 12 alerts; 3 traps refused, last 10:42 from 192.0.2.7: wrong community");
    // An English tooltip on a Japanese system: the dash is code page 932's own.
    EXPECT_EQ(Decoded(TrayTipText(Example(), 12, false, 932), "CP932"),
              "Pelmora ― 12 alerts; 3 traps refused, last 10:42 from 192.0.2.7: wrong community");
    EXPECT_EQ(Decoded(TrayTipText(Example(), 12, true, 1252), "CP932"),
              "Pelmora ― 警告 12 件、拒否したトラップ 3 件 (最後: 10:42、192.0.2.7、コミュニティ不一致)");

    RefusalSummary one = Example();
    one.refused = 1;
    one.lastReason = RefusalReason::NotTarget;
    one.lastMinuteOfDay = 9 * 60 + 5;
    EXPECT_EQ(TrayTipText(one, 1, false, 1252),
              "Pelmora \x97 1 alert; 1 trap refused, last 09:05 from 192.0.2.7: not the target");
}

// Every reason's text is valid Shift-JIS, and the longest tooltips are cut
// within szTip's 127 bytes, never inside a double-byte character.
TEST(TrayTip, LongestTextsFitTheRecordWithoutAHalfCharacter) {
    const uint64_t kMany = std::numeric_limits<uint64_t>::max();
    bool cutBeforeADoubleByteCharacter = false;
    for (size_t r = 1; r < kRefusalReasonCount; ++r) {
        RefusalSummary summary;
        summary.refused = kMany;
        summary.lastReason = static_cast<RefusalReason>(r);
        summary.lastMinuteOfDay = 23 * 60 + 59;
        summary.lastSender = 0xFFFFFFFE;
        ASSERT_TRUE(Decoded(RefusalReasonText(summary.lastReason, true), "CP932")) << r;
        EXPECT_NE(*RefusalReasonText(summary.lastReason, false), '\0') << r;
        // Alert counts of every length move the cut across the text.
        for (uint64_t alerts = 1; alerts != 0 && alerts < kMany / 10; alerts *= 10) {
            for (bool japanese : {false, true}) {
                const std::string tip = TrayTipText(summary, alerts, japanese, 932);
                EXPECT_LE(tip.size(), kTrayTipBytes - 1);
                EXPECT_TRUE(Decoded(tip, "CP932")) << r << " " << alerts << " " << japanese;
                if (tip.size() == kTrayTipBytes - 2) cutBeforeADoubleByteCharacter = true;
            }
        }
    }
    EXPECT_TRUE(cutBeforeADoubleByteCharacter) << "no case cut at a double-byte character: the test proves nothing";
}
