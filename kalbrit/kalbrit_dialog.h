#pragma once
// The Kalbrit dialog: shows [usKarn_trap] of one settings file and writes it back.
#include <windows.h>

#include <string>

#include "kalbrit/kalbrit_texts.h"

// Japanese on a Japanese system (UI language or code page 932), else English.
UiLanguage KalbritLanguage();

// Runs the modal dialog for the settings file at path; returns when closed.
INT_PTR RunKalbritDialog(HINSTANCE instance, const std::string& path);
