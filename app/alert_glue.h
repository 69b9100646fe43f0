#pragma once
// What the shell and the receiver engine take from the alert windows layer.
#include <memory>

#include "alert/alert_brushes.h"
#include "alert/alert_pass.h"
#include "alert/alert_window.h"

class WorkGate;

// The alert thread's platform: the Win32 one, recording the alert-window
// threads it starts in dispatcher, with its screen-saver dismissal (which
// allocates and calls into user32) run inside the alert thread's gate.
std::unique_ptr<AlertPlatform> MakeAlertPlatform(CAlertDispatcher& dispatcher, WorkGate& gate);
