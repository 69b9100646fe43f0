#pragma once
// The SNMPv3 users list: the users whose notifications Dovrel accepts, kept
// in [usKarn_v3] as master keys made from their passphrases.
#include <windows.h>

#include <functional>
#include <string>

#include "kalbrit/list_dialog_win32.h"
#include "snmp/usm_users.h"

// Sends the test trap as a saved user, telling the outcome over dialog.
using SendUserTestTrap = std::function<void(HWND dialog, const UsmUser& user)>;

// Runs the list over owner for the settings file at path; save writes what
// the user saves, test sends the list's test trap.
void RunV3UsersDialog(HWND owner, UiLanguage language, const std::string& path, const SaveListEdit& save,
                      const SendUserTestTrap& test);
