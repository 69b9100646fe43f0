#pragma once
// The start-up warning: modal dialog 101 with one read-only text.
#include <windows.h>

#include <string>

// The warning of string resource id (a Japanese text's id) as bytes of
// codePage, the ANSI code page the dialog will show it in: the Japanese text
// (Shift-JIS) under 932, its English counterpart under any other.
std::string LoadWarningText(HINSTANCE instance, UINT id, UINT codePage);

// Shows text (bytes of the ANSI code page) in dialog 101, owned by g_app's
// main window, and returns when OK is pressed.
void ShowWarning(const std::string& text);
