#pragma once
// What the shell and the receiver engine take from the alert windows layer.
#include <memory>

#include "alert/alert_pass.h"

// The Win32 AlertPlatform for the alert thread, recording the alert-window
// threads it starts in dispatcher.
std::unique_ptr<AlertPlatform> MakeAlertPlatform(CAlertDispatcher& dispatcher);

// TEMPORARY until the alert window layer lands: stand-ins with its signatures.
void CreateAlertBrushes();
void DeleteAlertBrushes();
int LiveAlertWindowCount();
