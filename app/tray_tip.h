#pragma once
// The tray icon's tooltip: the program's name while nothing has been
// refused, then with the alerts announced and the refusal summary.
#include <cstddef>
#include <cstdint>
#include <string>

#include "alert/refusal_summary.h"

constexpr char kTrayTipName[] = "Pelmora";
// NOTIFYICONDATAA's szTip: 128 bytes with its terminating zero.
constexpr std::size_t kTrayTipBytes = 128;

// "Pelmora — 12 alerts; 3 traps refused, last 10:42 from 192.0.2.7: wrong
// community", or its Japanese form (Shift-JIS), cut to kTrayTipBytes - 1
// bytes without splitting a double-byte character. alerts: alerts announced
// since Dovrel started. ansiCodePage: the system's, in which the shell reads
// an English tooltip (its dash is the code page's own).
std::string TrayTipText(const RefusalSummary& refusals, uint64_t alerts, bool japanese, unsigned ansiCodePage);
