#pragma once
// What the running Dovrel says it refused, asked through its status query.
#include <windows.h>

#include <optional>

#include "alert/refusal_summary.h"

// The summary of the Dovrel whose main window this is; nothing when it has
// refused nothing, does not answer within a second, or knows no such query
// (an older Dovrel answers 0).
std::optional<RefusalSummary> AskDovrelRefusals(HWND dovrel);
