#include "app/tray_tip.h"

#include "core/mbcs.h"

namespace {

constexpr char kShiftJisDash[] = "\x81\x5C";  // ―

// An em dash where the code page has one at 0x97 (the Windows single-byte
// code pages), the Shift-JIS dash under 932, else a hyphen: 0x97 is a lead
// byte in the double-byte code pages.
const char* DashFor(unsigned codePage) {
    if (codePage == 874 || (codePage >= 1250 && codePage <= 1258)) return "\x97";
    if (codePage == kShiftJisCodePage) return kShiftJisDash;
    return "-";
}

}  // namespace

std::string TrayTipText(const RefusalSummary& refusals, uint64_t alerts, bool japanese, unsigned ansiCodePage) {
    // Until something is refused the tooltip is the name alone, as it always was.
    if (refusals.refused == 0) return kTrayTipName;
    const std::string count = std::to_string(alerts);
    std::string tip = std::string(kTrayTipName) + " " + (japanese ? kShiftJisDash : DashFor(ansiCodePage)) + " ";
    if (japanese)
        tip += "\x8C\x78\x8D\x90 " + count + " \x8C\x8F\x81\x41";  // 警告 12 件、
    else
        tip += count + (alerts == 1 ? " alert; " : " alerts; ");
    tip += RefusalSummaryText(refusals, japanese);
    tip.resize(CharBoundaryPrefix(tip, kTrayTipBytes - 1, japanese ? kShiftJisCodePage : ansiCodePage));
    return tip;
}
