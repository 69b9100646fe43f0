#pragma once
// What the main window tells about the alerts announced and the traps
// refused: the tray icon's tooltip, and the answers to the status query
// that any program may send (alert/status_query.h).
#include <windows.h>

// Posted by the alert thread when alerts were announced or refusals counted
// since its last pass; the tooltip is then brought up to date.
constexpr UINT kActivityChangedMessage = WM_APP + 101;

void RefreshTrayTip(HWND window);
LRESULT AnswerStatusQueryMessage(WPARAM selector);
