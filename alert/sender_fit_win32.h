#pragma once
// The sender line of an alert window, fitted to its control.
#include <windows.h>

#include "alert/alert_texts.h"

// Control IDC_ALERT_FROM of dialog gets the sender line: as it is when the
// sender has no name; with a name, "From: name (address)" measured in the
// control's own font and the name cut with an ellipsis where the whole line
// would not fit on the control's one line.
void ShowSenderLine(HWND dialog, const AlertTexts& texts);
