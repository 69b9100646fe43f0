#pragma once
// The command line of Kalbrit's elevated copy, which only saves:
//   /save-elevated <path> Lang=<v> port=<v> recTimeout=<v> trapCommunity=<v> target=<v> prohibition=<v>
//                  acceptV2c=<v> mergeRepeats=<v>
// The path and every value are hex-encoded bytes of the ANSI code page, so
// blanks, quotes, backslashes and double-byte characters pass through
// ShellExecuteEx and the command-line parser unchanged.
#include <string>
#include <vector>

#include "kalbrit/trap_form.h"
#include "kalbrit/trap_section_edit.h"

struct ElevatedSave {
    std::string path;
    std::vector<TrapSetting> settings;  // the trap keys, in TrapSettingsFromForm order
};

enum class ElevatedSaveLine { Absent, Invalid, Valid };

// The arguments (without the program) that ask the elevated copy to write
// settings to path.
std::string ElevatedSaveArguments(const std::string& path, const std::vector<TrapSetting>& settings);

// Absent when the line does not start with the switch (the normal dialog);
// Invalid when it does but the line is damaged, or its values are not ones
// the form itself would write (each key once, accepted by ValidateTrapForm);
// Valid fills save.
ElevatedSaveLine ParseElevatedSave(const std::string& commandLine, ElevatedSave& save);

// A list saved by the elevated copy (the Devices list):
//   /save-list-elevated <section> <path> <key>=<value>... -<key>...
// every part hex-encoded: the entries to set, in order, then the keys whose
// lines go.
struct ElevatedSectionSave {
    std::string path;
    SectionEdit edit;
};

std::string ElevatedListArguments(const std::string& path, const SectionEdit& edit);

// Absent without the switch; Invalid when the line is damaged, names a
// section Kalbrit keeps no list in (ListRulesOfSection) or holds an edit that
// list could not make (IsListEdit); Valid fills save.
ElevatedSaveLine ParseElevatedListSave(const std::string& commandLine, ElevatedSectionSave& save);

// Either line, the trap section's as its edit: what the elevated copy writes.
ElevatedSaveLine ParseAnyElevatedSave(const std::string& commandLine, ElevatedSectionSave& save);
