#pragma once
// The Kalbrit dialog: shows [usKarn_trap] of one settings file and writes it back.
#include <windows.h>

#include <string>

// Runs the modal dialog for the settings file at path; returns when closed.
INT_PTR RunKalbritDialog(HINSTANCE instance, const std::string& path);
