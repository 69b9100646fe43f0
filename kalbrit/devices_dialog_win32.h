#pragma once
// The Devices list: names for the senders of traps, kept in [usKarn_names].
#include <windows.h>

#include <string>

#include "kalbrit/list_dialog_win32.h"

// Runs the Devices list over owner for the settings file at path, as Dovrel
// reads its names; save writes what the user saves.
void RunDevicesDialog(HWND owner, UiLanguage language, const std::string& path, const SaveListEdit& save);
