#pragma once
// Saves the trap values into the settings file all or nothing: the whole new
// file is written to a copy in the same folder and then put in place of the
// old one with ReplaceFileA, which keeps the file's ACL, and the file's
// attributes are set back afterwards. A failure at any step leaves the file
// as it was.
#include <windows.h>

#include <string>
#include <vector>

#include "kalbrit/trap_form.h"
#include "kalbrit/trap_section_edit.h"

// The file is UTF-16, which the byte-wise edit would spoil.
constexpr DWORD kErrorUtf16SettingsFile = ERROR_BAD_FORMAT;

// ERROR_SUCCESS, or why nothing was changed. A read-only file gives
// ERROR_ACCESS_DENIED unless overrideReadOnly, which the elevated copy sets:
// it then clears the attribute for the replace and sets it again.
DWORD SaveTrapSettingsToFile(const std::string& path, const std::vector<TrapSetting>& settings,
                             bool overrideReadOnly);

// The same for any section's edit (the Devices list's [usKarn_names]).
DWORD SaveSectionEditToFile(const std::string& path, const SectionEdit& edit, bool overrideReadOnly);
