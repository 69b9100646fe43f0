#pragma once
// The start-up warning: modal dialog 101 with one read-only text.
#include <windows.h>

#include <string>

// The Japanese warning text of string resource id, as Shift-JIS bytes
// (code page 932), whatever the system's ANSI code page.
std::string LoadWarningText(HINSTANCE instance, UINT id);

// Shows text (Shift-JIS bytes) in dialog 101, owned by g_app's main window,
// and returns when OK is pressed.
void ShowWarning(const std::string& text);
